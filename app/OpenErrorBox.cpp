#include "app/OpenErrorBox.h"

#include <QPushButton>

#include "strings/Strings.h"

int OpenErrorButtons(unsigned comPort) {
    // The troubleshooter has nothing to check for port 0.
    return comPort == 0 ? int(QMessageBox::Ok) : int(QMessageBox::Ok) | kTroubleshootButton;
}

int RunOpenErrorBox(QWidget* owner, const QString& text, const QString& caption, int buttons) {
    QMessageBox box(QMessageBox::Critical, caption, text,
                    static_cast<QMessageBox::StandardButtons>(buttons), owner);
    if (QAbstractButton* troubleshoot = box.button(QMessageBox::Help)) {
        troubleshoot->setText(LoadString(IDS_TROUBLESHOOT));
    }
    // Without an escape button a box with two buttons ignores Escape and its close box.
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    return box.exec();
}
