#pragma once

#include <span>

#include "app/DialogUnits.h"

// The main window's template: the same controls, numbers and positions in English (105)
// and Chinese (102). Texts are English source texts of the translation context
// "CTralvoDlg"; the Chinese template takes their Chinese translations.

enum class ControlKind {
    DefaultButton,
    Button,
    DigitsEdit,    // user-editable, digits only
    ReadOnlyEdit,  // shows a member; still a tab stop
    Label,
    GroupBox,
};

struct ControlTemplate {
    int id;  // IDC_STATIC for labels and group boxes
    ControlKind kind;
    DluRect position;
    const char* text;
    bool bHidden;
    int chineseWidth;  // width of the Chinese template where it differs, else 0
};

// Every control, in tab order.
std::span<const ControlTemplate> MainWindowControls();

// Client area of the window in dialog units.
constexpr int kMainWindowWidthDlu = 376;
constexpr int kMainWindowHeightDlu = 215;

struct MenuItemTemplate {
    int command;  // 0 opens a popup
    const char* text;
};

// The menu bar: a popup (command 0) followed by its items, then the next popup.
std::span<const MenuItemTemplate> MainWindowMenu();
