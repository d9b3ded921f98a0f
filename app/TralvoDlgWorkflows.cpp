// The main window's test commands: thin adapters from the window to the workflows, and the
// window's state while a test runs on its worker.
#include <QGuiApplication>
#include <QMessageBox>
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>

#include "app/DialogUnits.h"
#include "app/LineTrafficPane.h"
#include "app/Resource.h"
#include "app/TralvoDlg.h"
#include "strings/Strings.h"
#include "strings/TrafficTranslation.h"
#include "workflows/ContinuousSend.h"
#include "workflows/LineWorker.h"
#include "workflows/PollHartNetwork.h"

namespace {

// Where the progress and Cancel sit: free room below the template's controls, by the status.
constexpr DluRect kProgressPosition{61, 141, 190, 10};
constexpr DluRect kCancelPosition{256, 154, 50, 14};

TestMembers MembersOf(const CTralvoDlg& dlg) {
    TestMembers m;
    m.nComPort = dlg.m_nComPort;
    m.nHartId = dlg.m_nHartId;
    m.strStatus = dlg.m_strStatus;
    m.strTag = dlg.m_strTag;
    m.strAddress = dlg.m_strAddress;
    return m;
}

void Assign(CTralvoDlg& dlg, const TestMembers& m) {
    dlg.m_nComPort = m.nComPort;
    dlg.m_nHartId = m.nHartId;
    dlg.m_strStatus = m.strStatus;
    dlg.m_strTag = m.strTag;
    dlg.m_strAddress = m.strAddress;
}

// The window as the workflows see it.
class CWindowTestView final : public ITestView {
public:
    explicit CWindowTestView(CTralvoDlg& dlg) : m_dlg(dlg) {}

    void ReadWindow(TestMembers& m) override {
        // A port box that does not read leaves the members as they were; the window has
        // said so, and the test goes on with them.
        m_dlg.UpdateData(true);
        m = MembersOf(m_dlg);
    }
    void ShowMembers(const TestMembers& m) override {
        Assign(m_dlg, m);
        m_dlg.UpdateData(false);
        m_dlg.RepaintNow();
    }
    bool AskYesNo(const QString& text, const QString& caption) override {
        return m_dlg.ShowMessage(text, caption, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Question) == QMessageBox::Yes;
    }
    void ShowOpenError(const QString& text, const QString& caption, uint8_t comPort) override {
        m_dlg.ShowOpenError(text, caption, comPort);
    }
    bool RunOnLine(const std::function<void()>& work) override { return m_dlg.RunOnLine(work); }
    void ShowProgress(int step, int steps) override {
        // From the worker's thread: the window shows it on its own.
        CTralvoDlg* dlg = &m_dlg;
        QMetaObject::invokeMethod(
            dlg, [dlg, step, steps] { dlg->ShowProgress(step, steps); }, Qt::QueuedConnection);
    }

private:
    CTralvoDlg& m_dlg;
};

}  // namespace

void CTralvoDlg::CreateTestControls(QWidget* client, const DialogUnits& units) {
    m_pProgress = new QProgressBar(client);
    m_pProgress->setObjectName(QString::number(IDC_TEST_PROGRESS));
    m_pProgress->setGeometry(units.ToPixels(kProgressPosition));
    m_pProgress->setTextVisible(true);
    m_pProgress->hide();
    m_pCancelButton = new QPushButton(LoadString(IDS_CANCEL), client);
    m_pCancelButton->setObjectName(QString::number(IDC_CANCEL_TEST));
    m_pCancelButton->setGeometry(units.ToPixels(kCancelPosition));
    m_pCancelButton->hide();
    connect(m_pCancelButton, &QPushButton::clicked, this, &CTralvoDlg::OnCancelTest);
    m_pWorker = std::make_unique<CLineWorker>(m_link.Port().Wakeup(), this);
}

void CTralvoDlg::OnPollHartNetwork() {
    if (LineBusy()) return;
    TakeLine();
    CWindowTestView view(*this);
    TestMembers m = MembersOf(*this);
    BeginRunReport();
    const PollOutcome outcome = RunPollTest(m_link, view, m);
    Assign(*this, m);
    ShowRunReport(false, outcome == PollOutcome::Failed);
}

void CTralvoDlg::OnContinuous() {
    if (LineBusy()) return;
    TakeLine();
    CWindowTestView view(*this);
    TestMembers m = MembersOf(*this);
    BeginRunReport();
    const bool portOpen = BeginContinuousSend(m_link, view, m);
    Assign(*this, m);
    if (!portOpen) return;
    // The polls run on the worker until Cancel, closing, or a port that stops working.
    BeginTest();
    m_pWorker->Start(
        [this] {
            m_continuousEnd =
                RunContinuousPolls(m_link, [] { return false; }) == ContinuousEnd::PortStopped;
        },
        [this](bool ranToEnd) { OnContinuousEnded(ranToEnd && m_continuousEnd); });
}

void CTralvoDlg::OnContinuousEnded(bool portStopped) {
    EndTest();
    CWindowTestView view(*this);
    TestMembers m = MembersOf(*this);
    if (portStopped) {
        ReportPortStopped(view, m);
    } else {
        m.strStatus = LoadString(IDS_TEST_CANCELLED);
        view.ShowMembers(m);
    }
    Assign(*this, m);
    ShowRunReport(true, portStopped);
}

void CTralvoDlg::BeginRunReport() {
    m_lineDiagnosis.Reset();
    m_runFigures.Reset();
    ShowRunReport(false, false);
}

void CTralvoDlg::ShowRunReport(bool withFigures, bool failed) {
    const traffic::Translate translate = traffictext::InterfaceLanguage();
    QStringList lines;
    if (const traffic::CLinkQuality::Figures figures = m_runFigures.Snapshot();
        withFigures && figures.exchanges > 0)
        lines << QString::fromStdString(traffic::LinkQualityText(figures, translate));
    // A run of many exchanges fails some of them; which, the line tells.
    if (const std::optional<traffic::LineClass> verdict = m_lineDiagnosis.Verdict();
        verdict && (failed || withFigures))
        lines << QString::fromStdString(traffic::LineClassText(*verdict, translate));
    const QString report = lines.join(QLatin1Char('\n'));
    if (m_pTraffic) m_pTraffic->SetRunReport(report);
    if (QWidget* status = findChild<QWidget*>(QString::number(IDC_STATUS)))
        status->setToolTip(report);
}

void CTralvoDlg::OnCancelTest() { StopBackgroundWork(); }

void CTralvoDlg::StopBackgroundWork() {
    if (m_pWorker) m_pWorker->Cancel();
}

void CTralvoDlg::TakeLine() { m_link.Port().Wakeup().Clear(); }

bool CTralvoDlg::RunOnLine(const std::function<void()>& work) {
    BeginTest();
    const bool ran = m_pWorker->Run(work) == LineRun::RanToEnd;
    EndTest();
    return ran;
}

bool CTralvoDlg::LineBusy() const { return m_bTestRunning; }

void CTralvoDlg::BeginTest() {
    m_bTestRunning = true;
    EnableLineCommands(false);
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    m_pProgress->setRange(0, 0);  // busy until a step count is known
    m_pProgress->setFormat(QString());
    m_pProgress->show();
    m_pCancelButton->show();
}

void CTralvoDlg::EndTest() {
    if (!m_bTestRunning) return;
    m_bTestRunning = false;
    QGuiApplication::restoreOverrideCursor();
    m_pProgress->hide();
    m_pCancelButton->hide();
    EnableLineCommands(true);
}

void CTralvoDlg::ShowProgress(int step, int steps) {
    if (!m_bTestRunning) return;
    m_pProgress->setRange(0, steps);
    m_pProgress->setValue(step);
    m_pProgress->setFormat(LoadString(IDS_SCAN_PROGRESS).arg(step).arg(steps));
}

void CTralvoDlg::EnableLineCommands(bool enable) {
    for (int id : {IDC_POLL_HART_NETWORK, IDC_PV, IDC_CONTINUOUS, IDC_SET_COM_PORT}) {
        if (auto* button = findChild<QPushButton*>(QString::number(id))) button->setEnabled(enable);
    }
}
