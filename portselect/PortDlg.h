#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>

#include "portselect/PortSource.h"

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class PortChangeWatch;

// The COM port chooser (template 104, always English): the current port, the ports
// present sorted by number, OK and Cancel. Controls are named by their numbers ("1016",
// "1018", "1022") so they can be found as the template numbers them.
// Beyond the template: each entry of the list (text "COM33", the port number as its item
// value) shows what the port is and where under its text (the roles below); a Refresh
// button ("Refresh") lists the ports again, and so does a serial device that comes or goes
// while the dialog is open; either keeps the selected entry selected while it is listed.
class PortDlg : public QDialog {
    Q_OBJECT
public:
    explicit PortDlg(QWidget* parent = nullptr);
    ~PortDlg() override;

    // Lists the ports of another source (not owned; it must outlive the dialog). Without
    // one the dialog lists the ports of this machine.
    void SetPortSource(const IPortSource& source);
    // Watches another monitor (not owned; it must outlive the dialog). Without one the
    // dialog watches this machine's devices while it lists this machine's ports.
    void SetPortMonitor(IPortMonitor& monitor);

    // Item data of the list's entries beside the text and the number (Qt::UserRole).
    static constexpr int kDescriptionRole = Qt::UserRole + 1;  // "FT232R USB UART - FTDI, ..."
    static constexpr int kLocationRole = Qt::UserRole + 2;     // "/dev/ttyUSB1, by-id ..."

    // Runs the dialog as the Set COM Port command does: through `answer` when given (tests,
    // in place of the user), else RunModal(). Returns QDialog::Accepted for OK, Rejected
    // for Cancel.
    using ModalAnswer = std::function<int(PortDlg&)>;
    int DoModal(const ModalAnswer& answer = {});
    // Initialises the dialog, then runs it modally.
    int RunModal();

    // Shows the current port, fills the list and starts watching for devices. false when
    // the enumeration failed; the list then holds the ports found so far, unsorted.
    bool OnInitDialog();
    // Lists the ports again, keeping the selected entry selected where it is still listed.
    // false when the enumeration failed.
    bool OnRefresh();
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
    bool FillList();
    void WatchDevices();

    QLineEdit* m_editPort = nullptr;
    QCheckBox* m_checkFenwexPort = nullptr;
    QPushButton* m_buttonRefresh = nullptr;
    const IPortSource* m_pPortSource = nullptr;
    bool m_bSystemSource = true;
    IPortMonitor* m_pPortMonitor = nullptr;
    std::unique_ptr<PortChangeWatch> m_portWatch;
};
