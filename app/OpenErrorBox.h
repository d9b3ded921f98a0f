#pragma once

#include <QMessageBox>
#include <QString>

// The box for a COM port that did not open: the error icon, the text, OK (the default, also
// Escape and the close box) and, for a port other than 0, "Troubleshoot...", which stands
// in the place of the Help button. The window's message seam sees these buttons and answers with
// one of them.
inline constexpr int kTroubleshootButton = QMessageBox::Help;

// The buttons of the box for COM<comPort>.
int OpenErrorButtons(unsigned comPort);

// Runs the box modally over `owner`; returns the button pressed.
int RunOpenErrorBox(QWidget* owner, const QString& text, const QString& caption, int buttons);
