#pragma once

#include <QDialog>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>

#include "workflows/LineWorker.h"
#include "workflows/PvMonitor.h"

class QLineEdit;
class QPushButton;

// Template and control numbers of the PV monitor; the widgets carry them as object names.
namespace pvdlg {
inline constexpr int kTemplateId = 103;
inline constexpr int kButtonOk = 1;
inline constexpr int kBoxTag = 1003;
inline constexpr int kBoxPv = 1008;
inline constexpr int kBoxAo = 1009;
inline constexpr int kButtonStart = 1010;
inline constexpr int kButtonStop = 1011;
inline constexpr int kBoxAttempts = 1014;
inline constexpr int kBoxCount = 1015;
inline constexpr int kBoxErrors = 1016;
}  // namespace pvdlg

// The PV monitor window (English only, titled "PV"): a thin view over PvMonitor. Its
// timer ticks on the UI thread; each tick's exchange runs beside the event loop, so the
// dialog stays responsive. Start, Stop, OK, Escape and the close box first cut an exchange
// in progress short. Closing it by OK, Escape or the close box ends the run: the timer
// stops and the port closes.
class PVDlg : public QDialog, public PvMonitor {
    Q_OBJECT
public:
    explicit PVDlg(QWidget* parent = nullptr);

    // Shows the members, then runs the dialog: through `answer` when given (tests, in place
    // of the user), else exec(). Returns QDialog::Accepted or Rejected.
    using ModalAnswer = std::function<int(PVDlg&)>;
    int DoModal(const ModalAnswer& answer = {});

    // Tests answer the message boxes here; empty: a real box.
    using MessageAnswer = std::function<void(const QString& text, const QString& caption)>;
    MessageAnswer m_messageBox;
    // How a port that did not open is shown: the main window puts its box with
    // "Troubleshoot..." here; empty: the message above.
    using OpenErrorBox =
        std::function<void(const QString& text, const QString& caption, uint8_t comPort)>;
    OpenErrorBox m_openErrorBox;

    // Stops the timer and closes the port, then ends the dialog if the boxes can be read.
    void OnOK();
    // Escape and the close box: the run ends as with OK, so the port is free afterwards.
    void reject() override;

    // true: read the boxes into the members, stopping with a message at a number box that
    // does not hold a whole number; false: show the members.
    bool UpdateData(bool saveAndValidate) override;

    // The timer that drives the ticks. Tests shorten its period (0: the monitor's own).
    const QTimer& Timer() const { return m_timer; }
    void SetTimerPeriodOverride(uint32_t periodMs) { m_nPeriodOverrideMs = periodMs; }

    QLineEdit* Box(int controlId) const;
    QPushButton* Button(int controlId) const;

protected:
    void RepaintNow() override;
    void ShowMessage(const std::string& text) override;
    void ShowOpenError(const std::string& text, uint8_t comPort) override;
    uintptr_t SetTimer(uintptr_t timerId, uint32_t periodMs) override;
    bool KillTimer(uintptr_t timerId) override;
    bool RunOnLine(const std::function<void()>& work) override;

private:
    QLineEdit* AddBox(int controlId, bool readOnly);
    QPushButton* AddButton(int controlId, const QString& text);
    bool ReadInteger(int controlId, int32_t& into);
    // Ends the exchange in progress, if any, so that a command may use the port.
    void FinishLineWork();

    QTimer m_timer;
    std::unique_ptr<CLineWorker> m_pWorker;
    uint32_t m_nPeriodOverrideMs = 0;
};
