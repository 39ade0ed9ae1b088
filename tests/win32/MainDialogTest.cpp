// The Windows window's wiring, driven through its messages (run under Wine): each control's
// event reaches the presenter and each field's text reaches the form, the boxes it opens are
// answered by a helper, and a saved file is compared byte for byte. The flows themselves are
// tested in app/.
#include "MainDialog.h"
#include "TempFolder.h"
#include "WinTexts.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>

#include <deque>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>

using namespace orvalen;
using namespace orvalen::win32;
using orvalen::testing::CTempFolder;

namespace {

// Answers the modal windows a command opens, in the order they appear: a thread timer fires
// inside their own message loops, finds the new window and gives it to the next step.
class CModalAnswers {
public:
    using Step = std::function<void(HWND)>;

    CModalAnswers() {
        s_current = this;
        m_timer = SetTimer(nullptr, 0, 30, &CModalAnswers::OnTimer);
    }
    ~CModalAnswers() {
        KillTimer(nullptr, m_timer);
        s_current = nullptr;
    }
    CModalAnswers(const CModalAnswers&) = delete;
    CModalAnswers& operator=(const CModalAnswers&) = delete;

    void Then(Step step) { m_steps.push_back(std::move(step)); }
    bool Done() const { return m_steps.empty(); }

private:
    static BOOL CALLBACK FindModal(HWND window, LPARAM found) {
        wchar_t name[16] = {};
        GetClassNameW(window, name, 16);
        if (IsWindowVisible(window) && IsWindowEnabled(window) && std::wstring(name) == L"#32770") {
            *reinterpret_cast<HWND*>(found) = window;
            return FALSE;
        }
        return TRUE;
    }
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
        CModalAnswers* answers = s_current;
        if (answers == nullptr || answers->m_steps.empty())
            return;
        // The main window is disabled while a modal window of its own is open.
        HWND modal = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), FindModal, reinterpret_cast<LPARAM>(&modal));
        if (modal == nullptr || modal == answers->m_handled)
            return;
        answers->m_handled = modal;
        Step step = std::move(answers->m_steps.front());
        answers->m_steps.pop_front();
        step(modal);
    }

    static inline CModalAnswers* s_current = nullptr;
    UINT_PTR m_timer = 0;
    HWND m_handled = nullptr;
    std::deque<Step> m_steps;
};

std::wstring TextOf(HWND window, int id) {
    wchar_t text[512] = {};
    GetDlgItemTextW(window, id, text, 512);
    return text;
}

// A message box: its text is kept, and button pressed.
CModalAnswers::Step Answer(int button, std::wstring* text = nullptr) {
    return [button, text](HWND box) {
        if (text != nullptr)
            *text = TextOf(box, 0xFFFF);
        PostMessageW(box, WM_COMMAND, button, 0);
    };
}

// A file chooser: the path is typed and OK pressed.
CModalAnswers::Step Choose(std::wstring path) {
    return [path](HWND chooser) {
        SendMessageW(chooser, CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(path.c_str()));
        SendMessageW(chooser, CDM_SETCONTROLTEXT, edt1, reinterpret_cast<LPARAM>(path.c_str()));
        PostMessageW(chooser, WM_COMMAND, IDOK, 0);
    };
}

class Win32WindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        InstallWin32Translator();
    }
    void SetUp() override {
        dialog = std::make_unique<CMainDialog>(GetModuleHandleW(nullptr), CCodePage("GBK"));
        ASSERT_TRUE(dialog->Create()) << GetLastError();
    }
    // The window's end posts the quit message, which would end the next test's boxes at once.
    void TearDown() override {
        dialog.reset();
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    HWND Window() const { return dialog->Window(); }
    HWND Item(int id) const { return GetDlgItem(Window(), id); }
    void Click(int id) {
        SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(Item(id)));
    }
    void Type(int id, const wchar_t* text) { SetDlgItemTextW(Window(), id, text); }
    std::wstring Text(int id) const { return TextOf(Window(), id); }
    std::wstring Title() const {
        wchar_t title[64] = {};
        GetWindowTextW(Window(), title, 64);
        return title;
    }
    int Listed() const {
        return static_cast<int>(SendMessageW(Item(IDC_NAME_LIST), LB_GETCOUNT, 0, 0));
    }
    void AddContact(const wchar_t* name, const wchar_t* mobile) {
        Type(IDC_NAME, name);
        Type(IDC_MOBILE, mobile);
        Click(IDC_ADD);
    }

    CTempFolder folder;
    std::unique_ptr<CMainDialog> dialog;
};

// One row per control: its event reaches the presenter, and what it shows reaches the window.
TEST_F(Win32WindowTest, EachControlRunsItsCommand) {
    AddContact(L"Bob", L"222");
    AddContact(L"Ann", L"111");
    EXPECT_EQ(Listed(), 2);
    EXPECT_EQ(Text(IDC_COUNT), L"2");
    EXPECT_EQ(Title(), L"Orvalen*");

    // The list's selection shows the contact.
    SendMessageW(Item(IDC_NAME_LIST), LB_SETCURSEL, 1, 0);
    SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(IDC_NAME_LIST, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(Item(IDC_NAME_LIST)));
    EXPECT_EQ(Text(IDC_NAME), L"Bob");
    EXPECT_EQ(Text(IDC_MOBILE), L"222");

    Click(IDC_DELETE);
    EXPECT_EQ(Listed(), 1);
    SendMessageW(Window(), WM_SYSCOMMAND, IDM_UNDO, 0);
    EXPECT_EQ(Listed(), 2);
    SendMessageW(Window(), WM_SYSCOMMAND, IDM_REDO, 0);
    EXPECT_EQ(Listed(), 1);
    Click(IDC_CLEAR);
    EXPECT_EQ(Listed(), 0);
    EXPECT_EQ(Text(IDC_COUNT), L"0");

    // Save As and Load open their choosers; cancelled, they change nothing.
    CModalAnswers answers;
    answers.Then(Answer(IDCANCEL));
    answers.Then(Answer(IDCANCEL));
    AddContact(L"Cat", L"333");
    Click(IDC_SAVE_AS);
    Click(IDC_LOAD);
    EXPECT_TRUE(answers.Done());
    EXPECT_EQ(Listed(), 1);
}

// A pasted formatted number reaches the rule whole (the edit's own limit would have cut it).
TEST_F(Win32WindowTest, APastedNumberIsTakenWholeOrRefused) {
    Type(IDC_MOBILE, L"+86 138 0013 8000");
    EXPECT_EQ(Text(IDC_MOBILE), L"+8613800138000");
    Type(IDC_FAX, L"010-1234-5678-9999-00");
    EXPECT_EQ(Text(IDC_FAX), L"");
    // Typing into a full field is refused.
    Type(IDC_QQ, L"1234567890123456");
    SendMessageW(Item(IDC_QQ), EM_SETSEL, 16, 16);
    SendMessageW(Item(IDC_QQ), WM_CHAR, L'7', 0);
    EXPECT_EQ(Text(IDC_QQ), L"1234567890123456");
}

TEST_F(Win32WindowTest, TheAnsweredBoxes) {
    CModalAnswers answers;
    std::wstring aboutLine;
    answers.Then([&aboutLine](HWND about) {
        aboutLine = TextOf(about, IDC_ABOUT_CODE_PAGE);
        PostMessageW(about, WM_COMMAND, IDOK, 0);
    });
    SendMessageW(Window(), WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    // Our texts in the English table: Wine's interface language follows LANG, not Chinese here.
    EXPECT_EQ(aboutLine, L"Code page: GBK");
    // A count in the English plural form for it, each form a string of its own.
    EXPECT_EQ(orvalen::Tr(orvalen::texts::kPlacesLeft, 1), "1 place left");
    EXPECT_EQ(orvalen::Tr(orvalen::texts::kPlacesLeft, 2), "2 places left");

    // With a contact not saved, closing and the session's end ask; Cancel keeps the window.
    AddContact(L"Ann", L"111");
    std::wstring closeQuestion;
    answers.Then(Answer(IDCANCEL, &closeQuestion));
    answers.Then(Answer(IDCANCEL));
    SendMessageW(Window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(closeQuestion, L"The phone book has changes that are not saved. Close anyway?");
    EXPECT_NE(Window(), nullptr);
    EXPECT_EQ(SendMessageW(Window(), WM_QUERYENDSESSION, 0, 0), FALSE);
    EXPECT_TRUE(answers.Done());
}

// Save writes the phone book typed in the window; Load of it over unsaved work asks first.
TEST_F(Win32WindowTest, SaveWritesTheFileAndLoadAsksFirst) {
    AddContact(L"张三", L"13800138000");
    Type(IDC_NAME, L"Ann");
    Type(IDC_MOBILE, L"111");
    Type(IDC_EMAIL, L"ann@example.com");
    Click(IDC_ADD);
    const std::filesystem::path path = folder.Path() / "Tel_Save.tel";
    {
        CModalAnswers answers;
        answers.Then(Choose(path.wstring()));
        Click(IDC_SAVE);
        EXPECT_TRUE(answers.Done());
    }
    std::string expected(26112, '\0');
    expected.replace(0, 5, "\x55\xAA\x68\x68\x02", 5);
    expected.replace(512, 3, "Ann");
    expected.replace(512 + 16, 3, "111");
    expected.replace(512 + 64, 15, "ann@example.com");
    expected.replace(640, 4, "\xD5\xC5\xC8\xFD"); // 张三 in GBK
    expected.replace(640 + 16, 11, "13800138000");
    std::ifstream file(path, std::ios::binary);
    const std::string saved{std::istreambuf_iterator<char>(file), {}};
    EXPECT_EQ(saved, expected);
    EXPECT_EQ(Title(), L"Orvalen");

    AddContact(L"Bob", L"222");
    CModalAnswers answers;
    std::wstring question;
    answers.Then(Choose(path.wstring()));
    answers.Then(Answer(IDOK, &question));
    Click(IDC_LOAD);
    EXPECT_EQ(question,
              L"The phone book has changes that are not saved. Load another file anyway?");
    EXPECT_EQ(Listed(), 2);
    EXPECT_EQ(Title(), L"Orvalen");
}

} // namespace
