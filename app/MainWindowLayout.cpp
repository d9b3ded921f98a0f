#include "app/MainWindowLayout.h"

#include <QtGlobal>

#include "app/Resource.h"

namespace {

using K = ControlKind;

constexpr ControlTemplate kControls[] = {
    {IDOK, K::DefaultButton, {154, 184, 50, 14}, QT_TRANSLATE_NOOP("CTralvoDlg", "Exit"), false, 0},
    {IDC_COM_PORT, K::DigitsEdit, {42, 31, 40, 14}, nullptr, false, 0},
    {IDC_POLL_HART_NETWORK,
     K::Button,
     {221, 31, 68, 14},
     QT_TRANSLATE_NOOP("CTralvoDlg", "Poll HART Network"),
     false,
     0},
    {IDC_STATUS, K::ReadOnlyEdit, {61, 154, 190, 14}, nullptr, false, 0},
    {IDC_STATIC, K::Label, {33, 157, 23, 8}, QT_TRANSLATE_NOOP("CTralvoDlg", "Status:"), false, 0},
    {IDC_STATIC,
     K::Label,
     {193, 54, 38, 8},
     QT_TRANSLATE_NOOP("CTralvoDlg", "HART Tag:"),
     false,
     0},
    {IDC_STATIC, K::Label, {199, 77, 32, 8}, QT_TRANSLATE_NOOP("CTralvoDlg", "HART ID:"), false, 0},
    {IDC_HART_TAG, K::ReadOnlyEdit, {239, 52, 76, 14}, nullptr, false, 0},
    {IDC_HART_ID, K::ReadOnlyEdit, {239, 75, 76, 14}, nullptr, false, 0},
    {IDC_STATIC,
     K::GroupBox,
     {175, 17, 160, 111},
     QT_TRANSLATE_NOOP("CTralvoDlg", "Modem Test"),
     false,
     0},
    {IDC_STATIC,
     K::Label,
     {18, 58, 139, 8},
     QT_TRANSLATE_NOOP("CTralvoDlg", "1. Set Com Port to Virtual Com Port Number."),
     false,
     0},
    {IDC_STATIC,
     K::Label,
     {18, 84, 146, 8},
     QT_TRANSLATE_NOOP("CTralvoDlg", "3. Press \"Poll HART Network\" to test Modem."),
     false,
     0},
    {IDC_STATIC,
     K::Label,
     {18, 97, 141, 8},
     QT_TRANSLATE_NOOP("CTralvoDlg", "4. Test results under \"Status\".  If successful,"),
     false,
     0},
    {IDC_STATIC,
     K::Label,
     {26, 108, 100, 8},
     QT_TRANSLATE_NOOP("CTralvoDlg", "HART Tag and ID data shown."),
     false,
     0},
    {IDC_HART_ADDRESS, K::ReadOnlyEdit, {239, 98, 76, 14}, nullptr, false, 0},
    {IDC_STATIC,
     K::Label,
     {191, 100, 40, 8},
     QT_TRANSLATE_NOOP("CTralvoDlg", "HART Addr:"),
     false,
     0},
    {IDC_PV, K::Button, {301, 171, 20, 14}, QT_TRANSLATE_NOOP("CTralvoDlg", "PV"), true, 0},
    {IDC_STATIC,
     K::GroupBox,
     {287, 154, 48, 40},
     QT_TRANSLATE_NOOP("CTralvoDlg", "PV Read"),
     true,
     0},
    {IDC_CONTINUOUS,
     K::Button,
     {21, 184, 50, 14},
     QT_TRANSLATE_NOOP("CTralvoDlg", "Continuous"),
     true,
     0},
    {IDC_SET_COM_PORT,
     K::Button,
     {88, 31, 50, 14},
     QT_TRANSLATE_NOOP("CTralvoDlg", "Set COM Port"),
     false,
     0},
    {IDC_STATIC,
     K::Label,
     {18, 71, 116, 8},
     QT_TRANSLATE_NOOP("CTralvoDlg", "2. Connect modem to HART device."),
     false,
     0},
    {IDC_COM_TROUBLESHOOTER,
     K::Button,
     {39, 125, 73, 14},
     QT_TRANSLATE_NOOP("CTralvoDlg", "Com Troubleshooter"),
     false,
     0},
    {IDC_STATIC, K::Label, {46, 19, 32, 8}, QT_TRANSLATE_NOOP("CTralvoDlg", "COM Port"), false, 0},
};

constexpr MenuItemTemplate kMenu[] = {
    {0, QT_TRANSLATE_NOOP("CTralvoDlg", "Language")},
    {ID_LANGUAGE_ENGLISH, QT_TRANSLATE_NOOP("CTralvoDlg", "English")},
    {ID_LANGUAGE_CHINESE, QT_TRANSLATE_NOOP("CTralvoDlg", "Chinese")},
    // Not in the template: shows the line traffic pane below the window.
    {0, QT_TRANSLATE_NOOP("CTralvoDlg", "View")},
    {ID_VIEW_LINE_TRAFFIC, QT_TRANSLATE_NOOP("CTralvoDlg", "Line traffic")},
    {0, QT_TRANSLATE_NOOP("CTralvoDlg", "Help")},
    {ID_HELP_ABOUT, QT_TRANSLATE_NOOP("CTralvoDlg", "About")},
};

#undef TR

}  // namespace

std::span<const ControlTemplate> MainWindowControls() { return kControls; }
std::span<const MenuItemTemplate> MainWindowMenu() { return kMenu; }
