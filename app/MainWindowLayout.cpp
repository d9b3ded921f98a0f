#include "app/MainWindowLayout.h"

#include <QtGlobal>

#include "app/Resource.h"

namespace {

#define TR(text) QT_TRANSLATE_NOOP("CTralvoDlg", text)

using K = ControlKind;

constexpr ControlTemplate kControls[] = {
    {IDOK, K::DefaultButton, {154, 184, 50, 14}, TR("Exit"), false, 0},
    {IDC_COM_PORT, K::DigitsEdit, {42, 31, 40, 14}, nullptr, false, 0},
    {IDC_POLL_HART_NETWORK, K::Button, {221, 31, 68, 14}, TR("Poll HART Network"), false, 0},
    {IDC_STATUS, K::ReadOnlyEdit, {61, 154, 190, 14}, nullptr, false, 0},
    {IDC_STATIC, K::Label, {33, 157, 23, 8}, TR("Status:"), false, 0},
    {IDC_STATIC, K::Label, {193, 54, 38, 8}, TR("HART Tag:"), false, 0},
    {IDC_STATIC, K::Label, {199, 77, 32, 8}, TR("HART ID:"), false, 0},
    {IDC_HART_TAG, K::ReadOnlyEdit, {239, 52, 76, 14}, nullptr, false, 0},
    {IDC_HART_ID, K::ReadOnlyEdit, {239, 75, 76, 14}, nullptr, false, 0},
    {IDC_STATIC, K::GroupBox, {175, 17, 160, 111}, TR("Modem Test"), false, 0},
    {IDC_STATIC,
     K::Label,
     {18, 58, 139, 8},
     TR("1. Set Com Port to Virtual Com Port Number."),
     false,
     0},
    {IDC_STATIC,
     K::Label,
     {18, 84, 146, 8},
     TR("3. Press \"Poll HART Network\" to test Modem."),
     false,
     0},
    {IDC_STATIC,
     K::Label,
     {18, 97, 141, 8},
     TR("4. Test results under \"Status\".  If successful,"),
     false,
     0},
    {IDC_STATIC, K::Label, {26, 108, 100, 8}, TR("HART Tag and ID data shown."), false, 0},
    {IDC_HART_ADDRESS, K::ReadOnlyEdit, {239, 98, 76, 14}, nullptr, false, 0},
    {IDC_STATIC, K::Label, {191, 100, 40, 8}, TR("HART Addr:"), false, 0},
    {IDC_PV, K::Button, {301, 171, 20, 14}, TR("PV"), true, 0},
    {IDC_STATIC, K::GroupBox, {287, 154, 48, 40}, TR("PV Read"), true, 0},
    {IDC_CONTINUOUS, K::Button, {21, 184, 50, 14}, TR("Continuous"), true, 0},
    {IDC_SET_COM_PORT, K::Button, {88, 31, 50, 14}, TR("Set COM Port"), false, 0},
    {IDC_STATIC, K::Label, {18, 71, 116, 8}, TR("2. Connect modem to HART device."), false, 0},
    {IDC_COM_TROUBLESHOOTER, K::Button, {39, 125, 73, 14}, TR("Com Troubleshooter"), false, 0},
    {IDC_STATIC, K::Label, {46, 19, 32, 8}, TR("COM Port"), false, 0},
};

constexpr MenuItemTemplate kMenu[] = {
    {0, TR("Language")},
    {ID_LANGUAGE_ENGLISH, TR("English")},
    {ID_LANGUAGE_CHINESE, TR("Chinese")},
    // Not in the template: shows the line traffic pane below the window.
    {0, TR("View")},
    {ID_VIEW_LINE_TRAFFIC, TR("Line traffic")},
    {0, TR("Help")},
    {ID_HELP_ABOUT, TR("About")},
};

#undef TR

}  // namespace

std::span<const ControlTemplate> MainWindowControls() { return kControls; }
std::span<const MenuItemTemplate> MainWindowMenu() { return kMenu; }
