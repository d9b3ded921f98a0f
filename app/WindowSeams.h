#pragma once

#include <QString>
#include <functional>

#include "app/TroubleshooterLaunch.h"

class CAboutDlg;
class PVDlg;
class PortDlg;

// Where the main window reaches past its own widgets: the boxes it asks, the dialogs it
// runs and the programs it starts. An empty member is the real thing (a modal box or
// dialog, the platform's program start); tests fill them to answer in place of the user.
// The window keeps its own copy, so nothing outlives the window that was given it.
struct WindowSeams {
    // A message box; returns the QMessageBox::StandardButton pressed. buttons: a
    // QMessageBox::StandardButtons value; icon: a QMessageBox::Icon value.
    std::function<int(const QString& text, const QString& caption, int buttons, int icon)> message;
    ProgramStarter startProgram;
    // The About box, the port chooser and the PV monitor, each initialised as for the
    // user; returns QDialog::Accepted or Rejected.
    std::function<int(CAboutDlg&)> runAbout;
    std::function<int(PortDlg&)> runPortChooser;
    std::function<int(PVDlg&)> runPv;
    // The PV monitor's own message boxes (caption "PV").
    std::function<void(const QString& text, const QString& caption)> pvMessage;
};
