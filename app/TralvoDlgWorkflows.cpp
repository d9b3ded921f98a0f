// The main window's test commands: thin adapters from the window to the workflows.
#include <QMenuBar>
#include <QMessageBox>
#include <QObject>
#include <QPushButton>

#include "app/Resource.h"
#include "app/TralvoDlg.h"
#include "workflows/BackgroundSend.h"
#include "workflows/ContinuousSend.h"
#include "workflows/LineWorker.h"
#include "workflows/PollTest.h"

namespace {

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
    void ShowError(const QString& text, const QString& caption) override {
        m_dlg.ShowMessage(text, caption, QMessageBox::Ok, QMessageBox::Critical);
    }
    bool RunOnLine(const std::function<void()>& work) override { return m_dlg.RunOnLine(work); }

private:
    CTralvoDlg& m_dlg;
};

// The running continuous send, owned by the window so that it ends with the window at the
// latest. Found by its name (it has no meta-object of its own for findChild to tell apart).
class CSendHolder final : public QObject {
public:
    explicit CSendHolder(QObject* parent) : QObject(parent) { setObjectName(Name()); }
    static QString Name() { return QStringLiteral("tralvo-continuous-send"); }
    CBackgroundSend m_send;
    unsigned m_nRun = 0;  // which send a late report of a stopped port is about
};

CSendHolder* FindSend(CTralvoDlg& dlg) {
    return static_cast<CSendHolder*>(
        dlg.findChild<QObject*>(CSendHolder::Name(), Qt::FindDirectChildrenOnly));
}

}  // namespace

void CTralvoDlg::OnPollHartNetwork() {
    if (LineBusy()) return;
    // The line has one user at a time: a continuous send gives it up first.
    TakeLine();
    CWindowTestView view(*this);
    TestMembers m = MembersOf(*this);
    RunPollTest(m_link, view, m);
    Assign(*this, m);
}

void CTralvoDlg::OnContinuous() {
    if (LineBusy()) return;
    TakeLine();
    CWindowTestView view(*this);
    TestMembers m = MembersOf(*this);
    const bool portOpen = BeginContinuousSend(m_link, view, m);
    Assign(*this, m);
    // The polls run on a thread of their own, which owns m_link until StopBackgroundWork.
    if (!portOpen) return;
    CSendHolder* holder = FindSend(*this);
    if (!holder) holder = new CSendHolder(this);
    const unsigned run = ++holder->m_nRun;
    holder->m_send.Start(m_link, [this, run] {
        // On the send's thread: the window hears of it on its own.
        QMetaObject::invokeMethod(
            this, [this, run] { OnContinuousPortStopped(run); }, Qt::QueuedConnection);
    });
}

void CTralvoDlg::OnContinuousPortStopped(unsigned run) {
    // Another test may have taken the line since; then this send is old news.
    const CSendHolder* holder = FindSend(*this);
    if (!holder || holder->m_nRun != run || !holder->m_send.IsRunning() || LineBusy()) return;
    StopBackgroundWork();
    CWindowTestView view(*this);
    TestMembers m = MembersOf(*this);
    ReportPortStopped(view, m);
    Assign(*this, m);
}

void CTralvoDlg::StopBackgroundWork() {
    if (m_pLineWorker) m_pLineWorker->Cancel();
    if (CSendHolder* holder = FindSend(*this)) holder->m_send.Stop();
}

void CTralvoDlg::TakeLine() {
    StopBackgroundWork();
    m_link.Port().Wakeup().Clear();
}

bool CTralvoDlg::RunOnLine(const std::function<void()>& work) {
    if (!m_pLineWorker) m_pLineWorker = std::make_unique<CLineWorker>(m_link.Port().Wakeup());
    EnableLineCommands(false);
    const bool ran = m_pLineWorker->Run(work);
    EnableLineCommands(true);
    return ran;
}

bool CTralvoDlg::LineBusy() const { return m_pLineWorker && m_pLineWorker->Busy(); }

void CTralvoDlg::EnableLineCommands(bool enable) {
    for (int id : {IDC_POLL_HART_NETWORK, IDC_PV, IDC_CONTINUOUS, IDC_SET_COM_PORT}) {
        if (auto* button = findChild<QPushButton*>(QString::number(id))) button->setEnabled(enable);
    }
    if (auto* menus = findChild<QMenuBar*>()) menus->setEnabled(enable);
}
