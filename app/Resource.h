#pragma once

// Resource numbers of the program: dialogs, menus, menu commands, the icon and the
// controls of the main window. Widgets carry their control number as object name.

// Dialogs
constexpr int IDD_ABOUTBOX = 100;
constexpr int IDD_TRALVO_DIALOG_CHINESE = 102;
constexpr int IDD_TRALVO_DIALOG = 105;

// Menus and the icon
constexpr int IDR_MAINFRAME = 128;
constexpr int IDR_MENU_ENGLISH = 129;
constexpr int IDR_MENU_CHINESE = 130;

// Menu commands
constexpr int ID_LANGUAGE_ENGLISH = 32771;
constexpr int ID_LANGUAGE_CHINESE = 32772;
constexpr int ID_HELP_ABOUT = 32773;
constexpr int ID_VIEW_LINE_TRAFFIC = 32774;  // beside the template's menus

// Controls of the main window (IDOK is the Exit button)
constexpr int IDC_STATIC = -1;
constexpr int IDOK = 1;
constexpr int IDC_COM_PORT = 1000;
constexpr int IDC_POLL_HART_NETWORK = 1001;
constexpr int IDC_STATUS = 1002;
constexpr int IDC_HART_TAG = 1003;
constexpr int IDC_HART_ID = 1004;
constexpr int IDC_HART_ADDRESS = 1005;
constexpr int IDC_PV = 1007;
constexpr int IDC_CONTINUOUS = 1015;
constexpr int IDC_SET_COM_PORT = 1019;
constexpr int IDC_COM_TROUBLESHOOTER = 1020;
// Beside the template's controls, shown only while a test runs.
constexpr int IDC_TEST_PROGRESS = 1023;
constexpr int IDC_CANCEL_TEST = 1024;
