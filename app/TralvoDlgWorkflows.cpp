// The main window's test commands: thin adapters from the window to the workflows.
#include <QMessageBox>
#include <QObject>

#include "app/TralvoDlg.h"
#include "workflows/BackgroundSend.h"
#include "workflows/ContinuousSend.h"
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
};

CSendHolder* FindSend(CTralvoDlg& dlg) {
    return static_cast<CSendHolder*>(
        dlg.findChild<QObject*>(CSendHolder::Name(), Qt::FindDirectChildrenOnly));
}

}  // namespace

void CTralvoDlg::OnPollHartNetwork() {
    // The line has one user at a time: a continuous send gives it up first.
    StopBackgroundWork();
    CWindowTestView view(*this);
    TestMembers m = MembersOf(*this);
    RunPollTest(m_link, view, m);
    Assign(*this, m);
}

void CTralvoDlg::OnContinuous() {
    StopBackgroundWork();
    CWindowTestView view(*this);
    TestMembers m = MembersOf(*this);
    const bool portOpen = BeginContinuousSend(m_link, view, m);
    Assign(*this, m);
    // The polls run on a thread of their own, which owns m_link until StopBackgroundWork.
    if (!portOpen) return;
    CSendHolder* holder = FindSend(*this);
    if (!holder) holder = new CSendHolder(this);
    holder->m_send.Start(m_link);
}

void CTralvoDlg::StopBackgroundWork() {
    if (CSendHolder* holder = FindSend(*this)) holder->m_send.Stop();
}
