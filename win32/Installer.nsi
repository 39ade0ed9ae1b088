; The Windows installer, orvalen-<version>-setup.exe: Orvalen.exe, orvalen-tel.exe and the read-me,
; for the current user without administrator rights (the default, /CurrentUser) or for all users
; (/AllUsers, which asks for administrator rights when it lacks them), with a Start-menu shortcut,
; an uninstaller listed among the installed programs, the .tel file type (a ProgID with our icon,
; the default for .tel only where no other program has it) and "Open with" for .vcf and .csv.
; /S installs silently. Its texts follow the user's language: Simplified Chinese, Traditional
; Chinese or English. scripts/build-windows.sh makes it:
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.0.0.1 -DFILES=<folder with the programs and
;            ReadMe.txt> -DICON=res/orvalen.ico -DOUTFILE=<setup.exe> win32/Installer.nsi
; The uninstaller takes the same /AllUsers; it removes our files, shortcut and keys, and gives a
; file type back only while it is still ours.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvalen"
!define TEL_PROGID "Orvalen.PhoneBook"
!define CONTACTS_PROGID "Orvalen.Contacts"
!define APP_KEY "Software\Classes\Applications\Orvalen.exe"
!define ERROR_ELEVATION_REQUIRED 740

Name "Orvalen"
OutFile "${OUTFILE}"
BrandingText "Orvalen ${VERSION}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=0 "ProductName" "Orvalen"
VIAddVersionKey /LANG=0 "FileDescription" "Orvalen Setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "Copyright (C) 2026 Orvalen developers"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\Orvalen.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first is the one for every other language.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "TradChinese"

LangString TelTypeName ${LANG_ENGLISH} "MP3 player phone book"
LangString TelTypeName ${LANG_SIMPCHINESE} "MP3 播放器电话本"
LangString TelTypeName ${LANG_TRADCHINESE} "MP3 播放器電話簿"
LangString ShortcutComment ${LANG_ENGLISH} "Edit the phone-book file (.tel) of portable MP3 players"
LangString ShortcutComment ${LANG_SIMPCHINESE} "编辑 MP3 播放器的电话本文件（.tel）"
LangString ShortcutComment ${LANG_TRADCHINESE} "編輯 MP3 播放器的電話簿檔案（.tel）"
LangString AdminNeeded ${LANG_ENGLISH} "Installing or removing Orvalen for all users needs administrator rights."
LangString AdminNeeded ${LANG_SIMPCHINESE} "为所有用户安装或卸载 Orvalen 需要管理员权限。"
LangString AdminNeeded ${LANG_TRADCHINESE} "為所有使用者安裝或移除 Orvalen 需要系統管理員權限。"
LangString BothModes ${LANG_ENGLISH} "Give /AllUsers or /CurrentUser, not both."
LangString BothModes ${LANG_SIMPCHINESE} "/AllUsers 和 /CurrentUser 只能给出其中一个。"
LangString BothModes ${LANG_TRADCHINESE} "/AllUsers 和 /CurrentUser 只能指定其中一個。"

Var AllUsers

; Reads /AllUsers or /CurrentUser and works in that scope: the registry hive (SHCTX) and the
; Start menu. The uninstaller given neither knows an install for all users by its folder. For
; all users without administrator rights it starts itself again elevated (a UAC prompt), waits
; and ends with that run's exit code. NSIS takes the folder off the command line (/D= of the
; installer, _?= of the uninstaller, EXTRA): the elevated run is given it again, last, as
; both take the rest of the line.
!macro ChooseScope UN EXTRA
Function ${UN}ChooseScope
    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/AllUsers" $R1
    StrCpy $AllUsers 1
    ${If} ${Errors}
        StrCpy $AllUsers 0
    ${EndIf}
    ClearErrors
    ${GetOptions} $R0 "/CurrentUser" $R1
    ${IfNot} ${Errors}
        ${If} $AllUsers = 1
            MessageBox MB_OK|MB_ICONSTOP "$(BothModes)" /SD IDOK
            SetErrorLevel 2
            Quit
        ${EndIf}
    !if "${UN}" == "un."
    ${Else}
        ReadRegStr $R1 HKLM "${UNINSTALL_KEY}" "InstallLocation"
        ${If} $R1 == $INSTDIR
            StrCpy $AllUsers 1
        ${EndIf}
    !endif
    ${EndIf}
    ${If} $AllUsers = 0
        SetShellVarContext current
        Return
    ${EndIf}
    SetShellVarContext all
    UserInfo::GetAccountType
    Pop $R1
    ${If} $R1 == "Admin"
        Return
    ${EndIf}
    ClearErrors
    ${GetOptions} $R0 "/Elevated" $R1
    ${IfNot} ${Errors}
        MessageBox MB_OK|MB_ICONSTOP "$(AdminNeeded)" /SD IDOK
        SetErrorLevel ${ERROR_ELEVATION_REQUIRED}
        Quit
    ${EndIf}
    StrCpy $R6 "${EXTRA}"
    !if "${UN}" == ""
    ${If} $INSTDIR != ""
        StrCpy $R6 "/D=$INSTDIR"
    ${EndIf}
    !endif
    ; SHELLEXECUTEINFOW on x64, padding written out: SEE_MASK_NOCLOSEPROCESS, verb runas. The
    ; strings go in through registers: a quote in the parameters would end a literal.
    StrCpy $R6 "/Elevated $R0 $R6"
    StrCpy $R7 $EXEPATH
    System::Call '*(i 112, i 0x40, p $HWNDPARENT, w "runas", w R7, w R6, p 0, i 1, i 0, p 0, p 0, p 0, p 0, i 0, i 0, p 0, p 0) p .R2'
    System::Call 'shell32::ShellExecuteExW(p R2) i .R3'
    System::Call '*$R2(i, i, p, p, p, p, p, i, i, p, p, p, p, i, i, p, p .R4)'
    System::Free $R2
    ${If} $R3 = 0
    ${OrIf} $R4 = 0
        MessageBox MB_OK|MB_ICONSTOP "$(AdminNeeded)" /SD IDOK
        SetErrorLevel ${ERROR_ELEVATION_REQUIRED}
        Quit
    ${EndIf}
    System::Call 'kernel32::WaitForSingleObject(p R4, i -1)'
    System::Call 'kernel32::GetExitCodeProcess(p R4, *i .R5)'
    System::Call 'kernel32::CloseHandle(p R4)'
    SetErrorLevel $R5
    Quit
FunctionEnd
!macroend
!insertmacro ChooseScope "" ""
!insertmacro ChooseScope "un." "_?=$INSTDIR"

; Windows in Hong Kong and Macao writes Traditional Chinese, which NSIS would not pick there.
!macro ChooseLanguage
    System::Call 'kernel32::GetUserDefaultUILanguage() i .r0'
    ${If} $0 = 0x0C04
    ${OrIf} $0 = 0x1404
        StrCpy $LANGUAGE ${LANG_TRADCHINESE}
    ${EndIf}
!macroend

Function .onInit
    !insertmacro ChooseLanguage
    Call ChooseScope
    ; /D= names the folder; otherwise Program Files, or the user's own programs folder.
    ${If} $INSTDIR == ""
        ${If} $AllUsers == 1
            StrCpy $INSTDIR "$PROGRAMFILES64\Orvalen"
        ${Else}
            GetKnownFolderPath $INSTDIR {5CD7AEE2-2219-4A67-B85D-6C9CE15660CB} ; UserProgramFiles
            ${If} $INSTDIR == ""
                StrCpy $INSTDIR "$LOCALAPPDATA\Programs"
            ${EndIf}
            StrCpy $INSTDIR "$INSTDIR\Orvalen"
        ${EndIf}
    ${EndIf}
FunctionEnd

Function un.onInit
    !insertmacro ChooseLanguage
    Call un.ChooseScope
FunctionEnd

; Windows reads the file types again.
!macro TypesChanged
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)' ; SHCNE_ASSOCCHANGED
!macroend

Section
    SetOutPath $INSTDIR
    File "${FILES}\Orvalen.exe"
    File "${FILES}\orvalen-tel.exe"
    File "${FILES}\ReadMe.txt"
    WriteUninstaller "$INSTDIR\Uninstall.exe"
    CreateShortcut "$SMPROGRAMS\Orvalen.lnk" "$INSTDIR\Orvalen.exe" "" \
        "$INSTDIR\Orvalen.exe" 0 SW_SHOWNORMAL "" "$(ShortcutComment)"

    ${If} $AllUsers == 1
        StrCpy $0 "/AllUsers"
    ${Else}
        StrCpy $0 "/CurrentUser"
    ${EndIf}
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "Orvalen"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "Orvalen developers"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "URLInfoAbout" "https://orvalen.org/"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Orvalen.exe,0"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe" $0'
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" $0 /S'
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $1 $2 $3
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $1

    WriteRegStr SHCTX "Software\Classes\${TEL_PROGID}" "" "$(TelTypeName)"
    WriteRegStr SHCTX "Software\Classes\${TEL_PROGID}\DefaultIcon" "" "$INSTDIR\Orvalen.exe,0"
    WriteRegStr SHCTX "Software\Classes\${TEL_PROGID}\shell\open\command" "" \
        '"$INSTDIR\Orvalen.exe" "%1"'
    WriteRegStr SHCTX "Software\Classes\${CONTACTS_PROGID}\shell\open\command" "" \
        '"$INSTDIR\Orvalen.exe" "%1"'
    WriteRegStr SHCTX "${APP_KEY}" "FriendlyAppName" "Orvalen"
    WriteRegStr SHCTX "${APP_KEY}\shell\open\command" "" '"$INSTDIR\Orvalen.exe" "%1"'
    WriteRegStr SHCTX "${APP_KEY}\SupportedTypes" ".tel" ""
    WriteRegStr SHCTX "${APP_KEY}\SupportedTypes" ".vcf" ""
    WriteRegStr SHCTX "${APP_KEY}\SupportedTypes" ".csv" ""
    WriteRegStr SHCTX "Software\Classes\.tel\OpenWithProgids" "${TEL_PROGID}" ""
    WriteRegStr SHCTX "Software\Classes\.vcf\OpenWithProgids" "${CONTACTS_PROGID}" ""
    WriteRegStr SHCTX "Software\Classes\.csv\OpenWithProgids" "${CONTACTS_PROGID}" ""
    ; .tel opens in Orvalen only where no program has it yet, for this user or for all;
    ; otherwise it is offered in "Open with", and the user chooses. (Both hives are read: HKCR
    ; merges them on Windows, not on Wine.)
    ReadRegStr $1 HKCU "Software\Classes\.tel" ""
    ReadRegStr $2 HKLM "Software\Classes\.tel" ""
    ${If} $1 == ""
    ${OrIf} $1 == "${TEL_PROGID}"
        ${If} $2 == ""
        ${OrIf} $2 == "${TEL_PROGID}"
            WriteRegStr SHCTX "Software\Classes\.tel" "" "${TEL_PROGID}"
        ${EndIf}
    ${EndIf}
    !insertmacro TypesChanged
SectionEnd

; Takes our ProgID out of a file type, and the type's key if nothing else is left in it.
!macro ForgetType EXT PROGID
    DeleteRegValue SHCTX "Software\Classes\${EXT}\OpenWithProgids" "${PROGID}"
    ReadRegStr $1 SHCTX "Software\Classes\${EXT}" ""
    ${If} $1 == "${PROGID}"
        DeleteRegValue SHCTX "Software\Classes\${EXT}" ""
    ${EndIf}
    Push "Software\Classes\${EXT}\OpenWithProgids"
    Call un.DeleteEmptyKey
    Push "Software\Classes\${EXT}"
    Call un.DeleteEmptyKey
!macroend

; Deletes the key on the stack in the scope's hive if it holds neither keys nor values. (Neither
; DeleteRegKey /ifempty nor Wine's SHDeleteEmptyKey looks at values.) A default value, empty or
; not, keeps it; EnumRegValue names the default value "", as it names the end.
Function un.DeleteEmptyKey
    Exch $1
    Push $2
    EnumRegKey $2 SHCTX $1 0
    ${If} $2 == ""
        EnumRegValue $2 SHCTX $1 0
        ${If} $2 == ""
            EnumRegValue $2 SHCTX $1 1
            ${If} $2 == ""
                ClearErrors
                ReadRegStr $2 SHCTX $1 ""
                ${If} ${Errors}
                    DeleteRegKey SHCTX $1
                ${EndIf}
            ${EndIf}
        ${EndIf}
    ${EndIf}
    Pop $2
    Pop $1
FunctionEnd

Section Uninstall
    ; Our files only: the folder goes if nothing else is in it.
    Delete "$INSTDIR\Orvalen.exe"
    Delete "$INSTDIR\orvalen-tel.exe"
    Delete "$INSTDIR\ReadMe.txt"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\Orvalen.lnk"

    DeleteRegKey SHCTX "${UNINSTALL_KEY}"
    DeleteRegKey SHCTX "Software\Classes\${TEL_PROGID}"
    DeleteRegKey SHCTX "Software\Classes\${CONTACTS_PROGID}"
    DeleteRegKey SHCTX "${APP_KEY}"
    !insertmacro ForgetType .tel ${TEL_PROGID}
    !insertmacro ForgetType .vcf ${CONTACTS_PROGID}
    !insertmacro ForgetType .csv ${CONTACTS_PROGID}
    ; A user's hive may have had no key to hold ours; the machine's always has them.
    ${If} $AllUsers != 1
        Push "Software\Classes\Applications"
        Call un.DeleteEmptyKey
        Push "Software\Microsoft\Windows\CurrentVersion\Uninstall"
        Call un.DeleteEmptyKey
    ${EndIf}
    !insertmacro TypesChanged
SectionEnd
