#pragma once

#include <QDialog>
#include <QString>
#include <functional>

#include "portselect/PortSource.h"

class QCheckBox;
class QLineEdit;
class QListWidget;

// The COM port chooser (template 104, always English): the current port, the ports
// present sorted by number, OK and Cancel. Controls are named by their numbers ("1016",
// "1018", "1022") so they can be found as the template numbers them.
class PortDlg : public QDialog {
    Q_OBJECT
public:
    explicit PortDlg(QWidget* parent = nullptr);

    // Lists the ports of another source (not owned; it must outlive the dialog). Without
    // one the dialog lists the ports of this machine.
    void SetPortSource(const IPortSource& source);

    // Runs the dialog as the Set COM Port command does: through the modal hook when one is
    // installed, else RunModal(). Returns QDialog::Accepted for OK, Rejected for Cancel.
    int DoModal();
    // Initialises the dialog, then runs it modally.
    int RunModal();

    // Tests answer the dialog through this hook in place of the user; an empty hook
    // restores the modal run.
    using ModalHook = std::function<int(PortDlg&)>;
    static void SetModalHook(ModalHook hook);

    // Shows the current port and fills the list. false when the enumeration failed; the
    // list then holds the ports found so far, unsorted.
    bool OnInitDialog();
    // Takes the selected entry into the current-port box; without a selection nothing.
    void OnDblclkPortList();
    // Takes the selected entry (else keeps the current text) and the check box, then
    // ends the dialog with OK.
    void OnOK();

    // false: show m_strPort in box 1016; true: read it back.
    void UpdateData(bool saveAndValidate);

    QListWidget* m_listPorts = nullptr;
    QString m_strPort;
    bool m_bSetFenwexPort = false;

private:
    QLineEdit* m_editPort = nullptr;
    QCheckBox* m_checkFenwexPort = nullptr;
    const IPortSource* m_pPortSource = nullptr;
};
