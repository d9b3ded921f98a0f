#pragma once

#include <QString>
#include <cstdint>
#include <functional>

// The main window's members that a test reads and writes. A test works on a copy that the
// front end hands in and takes back, and gives it to the view whenever it is to be shown.
struct TestMembers {
    uint8_t nComPort = 0;
    uint32_t nHartId = 0;
    QString strStatus;
    QString strTag;
    QString strAddress;
};

// What a test needs from its front end (the main window, or the terminal of tralvo-cli).
class ITestView {
public:
    virtual ~ITestView() = default;

    // Reads the window into the members. When the port box cannot be read the front end
    // says so itself and leaves the members as they were; the test goes on with them.
    virtual void ReadWindow(TestMembers& members) = 0;
    // Shows the members and repaints at once, while the test still runs.
    virtual void ShowMembers(const TestMembers& members) = 0;
    // The Yes/No question (question icon); true for Yes.
    virtual bool AskYesNo(const QString& text, const QString& caption) = 0;
    // The error box (OK) for COM<comPort> that did not open or stopped working, the only
    // errors a test shows; a front end may offer its troubleshooter for that port beside OK.
    // Returns when the user has closed it.
    virtual void ShowOpenError(const QString& text, const QString& caption, uint8_t comPort) = 0;
    // Runs the test's exchanges on the line and returns when they are done: false when the
    // front end cut them short. A window runs them beside its event loop, so that it stays
    // responsive and can be closed meanwhile (closing ends them through the port's
    // wake-up); a terminal simply runs them. `work` touches only the link and the test's
    // own data, and of the view only ShowProgress.
    virtual bool RunOnLine(const std::function<void()>& work) {
        work();
        return true;
    }
    // Step `step` of `steps` has begun (the multi-drop scan's addresses). Called from within
    // RunOnLine's work, so possibly from another thread than the view's.
    virtual void ShowProgress(int /*step*/, int /*steps*/) {}
};
