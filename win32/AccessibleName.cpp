#include "AccessibleName.h"

#include <commctrl.h>
#include <oleacc.h>

#include <climits>
#include <cwchar>
#include <map>
#include <vector>

namespace orvalen::win32 {
namespace {

// Interface ids through __uuidof: mingw-w64's import library gives IID_IAccessible a wrong value.

// The standard accessible object of a control with another name; everything else is asked
// of the standard object. A COM object: it deletes itself at its last Release.
class CNamedAccessible final : public IAccessible {
public:
    CNamedAccessible(IAccessible* standard, const std::wstring& name)
        : m_standard(standard), m_name(name) {
        m_standard->AddRef();
    }
    CNamedAccessible(const CNamedAccessible&) = delete;
    CNamedAccessible& operator=(const CNamedAccessible&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr)
            return E_POINTER;
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) ||
            iid == __uuidof(IAccessible)) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        // Other interfaces (text, value patterns) are the standard object's own.
        return m_standard->QueryInterface(iid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&m_references); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&m_references);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return m_standard->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return m_standard->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return m_standard->GetIDsOfNames(iid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argument) override {
        return m_standard->Invoke(id, iid, locale, flags, params, result, exception, argument);
    }

    // IAccessible: the name of the control itself; its parts keep theirs.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (name == nullptr)
            return E_POINTER;
        if (child.vt != VT_I4 || child.lVal != CHILDID_SELF)
            return m_standard->get_accName(child, name);
        *name = SysAllocString(m_name.c_str());
        return *name != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return m_standard->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        return m_standard->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return m_standard->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return m_standard->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return m_standard->get_accDescription(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        return m_standard->get_accRole(child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return m_standard->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return m_standard->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return m_standard->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
        return m_standard->get_accKeyboardShortcut(child, keys);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
        return m_standard->get_accFocus(child);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return m_standard->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return m_standard->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return m_standard->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        return m_standard->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return m_standard->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
        return m_standard->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return m_standard->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return m_standard->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return m_standard->put_accValue(child, value);
    }

private:
    ~CNamedAccessible() { m_standard->Release(); }

    IAccessible* m_standard;
    std::wstring m_name;
    LONG m_references = 1;
};

constexpr UINT_PTR kSubclassId = 0x4f4e; // any number of ours; one subclass per control

// The names given, by control; the window's thread alone uses it.
std::map<HWND, std::wstring>& Names() {
    static std::map<HWND, std::wstring> names;
    return names;
}

LRESULT CALLBACK NamedControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                  UINT_PTR, DWORD_PTR) {
    const auto name = Names().find(control);
    if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT &&
        name != Names().end()) {
        IAccessible* standard = nullptr;
        if (SUCCEEDED(CreateStdAccessibleObject(control, OBJID_CLIENT, __uuidof(IAccessible),
                                                reinterpret_cast<void**>(&standard)))) {
            // COM's own lifetime: the object deletes itself at its last Release.
            auto* named = new CNamedAccessible(standard, name->second);
            standard->Release();
            const LRESULT result = LresultFromObject(__uuidof(IAccessible), wParam, named);
            named->Release();
            return result;
        }
    } else if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(control, NamedControlProc, kSubclassId);
        if (name != Names().end())
            Names().erase(name);
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

std::wstring ClassOf(HWND window) {
    wchar_t name[32] = {};
    GetClassNameW(window, name, static_cast<int>(std::size(name)));
    return name;
}

std::wstring TextOf(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

RECT RectOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

// The label of a control: the text just to its left (no further off than twice its height)
// whose middle is level with the control, the nearest; else the text just above it that
// overlaps it across, the nearest.
HWND LabelOf(HWND control, const std::vector<HWND>& labels) {
    const RECT at = RectOf(control);
    HWND best = nullptr;
    long bestGap = LONG_MAX;
    for (HWND label : labels) {
        const RECT rect = RectOf(label);
        const long middle = (rect.top + rect.bottom) / 2;
        const long gap = at.left - rect.right;
        if (middle >= at.top && middle <= at.bottom && gap >= -2 &&
            gap <= 2 * (rect.bottom - rect.top) && gap < bestGap) {
            best = label;
            bestGap = gap;
        }
    }
    if (best != nullptr)
        return best;
    for (HWND label : labels) {
        const RECT rect = RectOf(label);
        if (rect.bottom <= at.top + 2 && rect.left < at.right && rect.right > at.left &&
            at.top - rect.bottom < bestGap) {
            best = label;
            bestGap = at.top - rect.bottom;
        }
    }
    return best;
}

} // namespace

bool NameControl(HWND control, const std::wstring& name) {
    // Subclassing again with the same procedure and number changes nothing.
    if (!SetWindowSubclass(control, NamedControlProc, kSubclassId, 0))
        return false;
    Names()[control] = name;
    return true;
}

int NameControlsByLabels(HWND window) {
    std::vector<HWND> labels;
    std::vector<HWND> controls;
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        const std::wstring kind = ClassOf(child);
        const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
        if (_wcsicmp(kind.c_str(), L"Static") == 0 && (style & SS_TYPEMASK) <= SS_RIGHT &&
            GetWindowTextLengthW(child) > 0)
            labels.push_back(child);
        else if (_wcsicmp(kind.c_str(), L"Edit") == 0 || _wcsicmp(kind.c_str(), L"ListBox") == 0)
            controls.push_back(child);
    }
    int named = 0;
    for (HWND control : controls) {
        if (HWND label = LabelOf(control, labels);
            label != nullptr && NameControl(control, TextOf(label)))
            ++named;
    }
    return named;
}

} // namespace orvalen::win32
