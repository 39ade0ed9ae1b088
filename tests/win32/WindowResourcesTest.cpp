// The Windows window as a screen reader and a user of another language meet it, under Wine:
// the written main window's fields, list and count read by their labels through
// AccessibleObjectFromWindow; our texts loaded from the string table of the user's language.
#include "AccessibleName.h"
#include "InterfaceLanguageWin32.h"
#include "resource.h"

#include <oleacc.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

using namespace orvalen;

namespace {

INT_PTR CALLBACK PlainDialog(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

struct Read {
    std::wstring name = L"<no object>";
    long role = 0;
};

// What a screen reader reads of a control.
Read ReadControl(HWND control) {
    Read read;
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                          __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&object))))
        return read;
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    read.name = object->get_accName(self, &name) == S_OK && name != nullptr ? name : L"";
    SysFreeString(name);
    VARIANT role;
    VariantInit(&role);
    if (object->get_accRole(self, &role) == S_OK && role.vt == VT_I4)
        read.role = role.lVal;
    object->Release();
    return read;
}

TEST(AccessibleName, TheWrittenWindowNamesEachControlByItsLabel) {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    HWND dialog = CreateDialogParamW(GetModuleHandleW(nullptr),
                                     MAKEINTRESOURCEW(IDD_ORVALEN_DIALOG), nullptr, PlainDialog, 0);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(win32::NameControlsByLabels(dialog), 8);
    const struct {
        int id;
        const wchar_t* name;
        long role;
    } rows[] = {
        {IDC_NAME, L"Name:", ROLE_SYSTEM_TEXT},
        {IDC_MOBILE, L"Mobile:", ROLE_SYSTEM_TEXT},
        {IDC_TELEPHONE, L"Telephone:", ROLE_SYSTEM_TEXT},
        {IDC_EMAIL, L"E_mail:", ROLE_SYSTEM_TEXT},
        {IDC_QQ, L"QQ:", ROLE_SYSTEM_TEXT},
        {IDC_FAX, L"FAX:", ROLE_SYSTEM_TEXT},
        {IDC_COUNT, L"Total(0-200):", ROLE_SYSTEM_TEXT},
        // Wine's standard object gives a list box no role of its own; Windows gives it a list's.
        {IDC_NAME_LIST, L"Name Preview:", 0},
    };
    for (const auto& row : rows) {
        const Read read = ReadControl(GetDlgItem(dialog, row.id));
        EXPECT_EQ(read.name, row.name) << row.id;
        if (row.role != 0) {
            EXPECT_EQ(read.role, row.role) << row.id;
        }
    }
    DestroyWindow(dialog);
    CoUninitialize();
}

// Strings 20001 and 20010 of the table written from tests/translations/Texts.h.
TEST(TranslatedTextTable, LoadsTheStringsOfEachLanguage) {
    const struct {
        InterfaceLanguage language;
        const wchar_t* question;
        const wchar_t* undo;
    } rows[] = {
        {InterfaceLanguage::simplifiedChinese,
         L"\u7535\u8bdd\u672c\u6709\u5c1a\u672a\u4fdd\u5b58\u7684\u66f4\u6539\u3002\u4ecd\u8981"
         L"\u5173\u95ed\u5417\uff1f",
         L"\u64a4\u9500(&U)"},
        {InterfaceLanguage::traditionalChinese,
         L"\u96fb\u8a71\u7c3f\u6709\u5c1a\u672a\u5132\u5b58\u7684\u8b8a\u66f4\u3002\u4ecd\u8981"
         L"\u95dc\u9589\u55ce\uff1f",
         L"\u5fa9\u539f(&U)"},
        {InterfaceLanguage::english,
         L"The phone book has changes that are not saved. Close anyway?", L"&Undo"},
    };
    HMODULE module = GetModuleHandleW(nullptr);
    for (const auto& row : rows) {
        const LANGID language = win32::WindowsLanguageOf(row.language);
        EXPECT_EQ(win32::LoadStringIn(module, 20001, language).value_or(L"-"), row.question);
        EXPECT_EQ(win32::LoadStringIn(module, 20010, language).value_or(L"-"), row.undo);
    }
    // Neither a language we have no table in, nor a string no table holds.
    EXPECT_FALSE(win32::LoadStringIn(module, 20001, MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH)));
    EXPECT_FALSE(
        win32::LoadStringIn(module, 20002, win32::WindowsLanguageOf(InterfaceLanguage::english)));
}

} // namespace
