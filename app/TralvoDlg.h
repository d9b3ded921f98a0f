#pragma once

#include <QDialog>
#include <QIcon>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

#include "app/TroubleshooterLaunch.h"
#include "hart/HartLink.h"

// The main window. Its state members carry results between the commands; each handler
// changes them, then shows them in the window and repaints at once.
class CLineWorker;

class CTralvoDlg : public QDialog {
    Q_OBJECT
public:
    explicit CTralvoDlg(QWidget* parent = nullptr);
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
    // Tests answer message boxes through this hook instead of a modal box (empty: real box).
    using MessageHook =
        std::function<int(const QString& text, const QString& caption, int buttons, int icon)>;
    static void SetMessageHook(MessageHook hook);

    // Ends any work still running on the line (continuous send, a poll test's exchanges);
    // called whenever the window closes, by Exit, Enter, Escape or the close box, and
    // before another test takes the line.
    void StopBackgroundWork();
    // Runs a test's exchanges beside the window's event loop (see CLineWorker); the line's
    // commands are refused and their buttons disabled meanwhile. false when cut short.
    bool RunOnLine(const std::function<void()>& work);
    // Whether a test's exchanges are running right now.
    bool LineBusy() const;

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

    // Tests start programs through this in place of the platform (empty: the platform).
    static void SetProgramStarter(ProgramStarter starter);

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
    void CreateControls();
    void CreateMenuBar();
    // Stops whatever holds the line and clears the stop request it left, for a new test.
    void TakeLine();
    void EnableLineCommands(bool enable);
    // The continuous send (run number `run`) found its port stopped working: the message and
    // "COM Port Error", unless another test has taken the line since.
    void OnContinuousPortStopped(unsigned run);

    struct Widgets;
    Widgets* m_pWidgets = nullptr;
    int m_nTemplateId = 0;
    std::unique_ptr<CLineWorker> m_pLineWorker;
};
