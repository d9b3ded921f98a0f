#pragma once

#include <QDialog>
#include <QIcon>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

#include "app/WindowSeams.h"
#include "hart/HartLink.h"
#include "traffic/LineDiagnosis.h"
#include "traffic/LinkQuality.h"

// The main window. Its state members carry results between the commands; each handler
// changes them, then shows them in the window and repaints at once.
class CLineWorker;
class DialogUnits;
class QProgressBar;
class QPushButton;

class CTralvoDlg : public QDialog {
    Q_OBJECT
public:
    // seams: how the window's boxes, dialogs and program starts are answered; empty
    // members: by the user and the platform.
    explicit CTralvoDlg(WindowSeams seams = {}, QWidget* parent = nullptr);
    // The window on another port and clock than the program's (tests, on a fake line).
    CTralvoDlg(CSerial& port, IClock& clock, WindowSeams seams = {}, QWidget* parent = nullptr);
    ~CTralvoDlg() override;

    // Called once before the window is first shown.
    bool OnInitDialog();
    // Initialises the window, then runs it modally. QDialog::Accepted after Exit or Enter,
    // Rejected after Escape or the close box.
    int DoModal();

    // The template the stored language chose at construction: 105 English, 102 Chinese.
    int TemplateId() const;

    // true: read the boxes into the members; returns false (with a message, the focus on
    // the port box, the members unchanged) when box 1000 does not hold 0..255.
    // false: show the members in the boxes.
    bool UpdateData(bool saveAndValidate = true);
    // Paint the window now, while a handler still runs.
    void RepaintNow();

    // Message boxes owned by the window. Return the button pressed.
    // buttons: a QMessageBox::StandardButtons value; icon: a QMessageBox::Icon value;
    // the result is the QMessageBox::StandardButton pressed.
    int ShowMessage(const QString& text, const QString& caption, int buttons, int icon);
    // The box for COM<comPort> that did not open (OpenErrorBox.h), over `owner` (else the
    // window): its "Troubleshoot..." starts the troubleshooter on that port. Through the
    // message seam too.
    void ShowOpenError(const QString& text, const QString& caption, unsigned comPort,
                       QWidget* owner = nullptr);

    // Ends any work still running on the line (continuous send, a poll test's exchanges);
    // called whenever the window closes, by Exit, Enter, Escape or the close box.
    void StopBackgroundWork();
    // Runs a test's exchanges on the window's worker beside its event loop (see
    // CLineWorker): false when cut short.
    bool RunOnLine(const std::function<void()>& work);
    // Whether a test runs: its commands are refused and greyed, a busy cursor, the progress
    // and Cancel are shown meanwhile.
    bool LineBusy() const;
    // The progress of a test that counts its steps (the multi-drop scan).
    void ShowProgress(int step, int steps);
    // Cancel (shown while a test runs): stops the test; it closes the port and shows
    // "Test cancelled".
    void OnCancelTest();

    void OnPollHartNetwork();
    void OnPv();
    void OnContinuous();
    void OnSetComPort();
    void OnExit();
    void OnComTroubleshooter();
    void OnHelpAbout();
    void OnLanguageEnglish();
    void OnLanguageChinese();
    void ApplyLanguage(QString languageName);

    // Every way of closing passes here: background work stops first.
    void done(int result) override;

    CHartLink m_link;
    QString m_strLanguage;
    bool m_bPromptComPort = false;
    uint8_t m_nComPort = 0;
    uint32_t m_nHartId = 0;
    QString m_strStatus;
    QString m_strTag;
    QString m_strAddress;
    QIcon m_hIcon;

private:
    // Starts the troubleshooter where it is installed; nothing is reported when it is not.
    void StartTroubleshooter(const QStringList& arguments);
    void CreateControls();
    void CreateMenuBar();
    // The progress, Cancel and the worker; the progress and Cancel are not in the template.
    void CreateTestControls(QWidget* client, const DialogUnits& units);
    // Clears the stop request the last test left, for a new one.
    void TakeLine();
    void BeginTest();
    void EndTest();
    void EnableLineCommands(bool enable);
    // Continuous send has ended: the port stopped working (message, "COM Port Error"), or
    // it was cancelled ("Test cancelled").
    void OnContinuousEnded(bool portStopped);
    // A run on the line begins: its figures and the line's diagnosis start afresh.
    void BeginRunReport();
    // Shows what the run found below the template's boxes, in the traffic pane's header and
    // as the status box's tooltip: the link figures of a PV run or continuous send, and
    // when an exchange failed (failed: the test failed) what the line showed.
    void ShowRunReport(bool withFigures, bool failed);

    WindowSeams m_seams;
    struct Widgets;
    Widgets* m_pWidgets = nullptr;
    int m_nTemplateId = 0;
    std::unique_ptr<CLineWorker> m_pWorker;
    QProgressBar* m_pProgress = nullptr;
    QPushButton* m_pCancelButton = nullptr;
    bool m_bTestRunning = false;
    bool m_continuousEnd = false;  // written by the worker, read once it has ended
    class CLineTrafficPane* m_pTraffic = nullptr;
    // Fed on the link's thread with every record of the line.
    traffic::CLineDiagnosis m_lineDiagnosis;
    traffic::CLinkQuality m_runFigures;
};
