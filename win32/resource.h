#pragma once

// Resource and control ids of the Windows window, shared by Orvalen.rc and the code.

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_ORVALEN_DIALOG 102
#define IDD_IMPORT 103
#define IDD_READ_PROGRESS 104
#define IDR_MAINFRAME 128
#define IDR_ACCELERATORS 129
#define IDB_PICTURE 134

#define IDC_NAME_LIST 1000
#define IDC_ADD 1001
#define IDC_DELETE 1002
#define IDC_CLEAR 1003
#define IDC_COUNT 1004
#define IDC_LOAD 1005
#define IDC_SAVE 1006
#define IDC_SAVE_AS 1007
#define IDC_NAME 1009
#define IDC_MOBILE 1014
#define IDC_TELEPHONE 1015
#define IDC_EMAIL 1016
#define IDC_QQ 1017
#define IDC_FAX 1018

// The import dialog's controls.
#define IDC_IMPORT_SEARCH 1100
#define IDC_IMPORT_LIST 1101
#define IDC_SELECT_ALL 1102
#define IDC_SELECT_NONE 1103
#define IDC_IMPORT_COUNT 1104
#define IDC_REPEATED 1105
#define IDC_ENCODING_LABEL 1106
#define IDC_ENCODING 1107
#define IDC_SEARCH_LABEL 1108
#define IDC_REPEATED_LABEL 1109
#define IDC_ABOUT_CODE_PAGE 1110
#define IDC_RANGE_LINE 1111
#define IDC_NEXT_RANGE 1112

// The progress of a read.
#define IDC_READING 1200
#define IDC_READ_BAR 1201

// System-menu commands: the low four bits of a system command belong to the system.
#define IDM_ABOUTBOX 0x0010
#define IDM_UNDO 0x0020
#define IDM_REDO 0x0030
#define IDM_IMPORT 0x0040
#define IDM_EXPORT 0x0050

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
