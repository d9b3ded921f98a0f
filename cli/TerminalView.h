#pragma once

#include <istream>
#include <ostream>
#include <string>

#include "workflows/TestView.h"

// The line after a port that did not open, pointing to the troubleshooter's report on it.
std::string TroubleshooterHint(unsigned comPort);

// The terminal as a test's window: there is nothing to read back, error boxes become lines
// on the error stream, and the Yes/No question is answered by the user at the terminal or
// in advance by an option.
class CTerminalView : public ITestView {
public:
    enum class Answer { Ask, Yes, No };

    CTerminalView(Answer answer, std::istream& in, std::ostream& out, std::ostream& err)
        : m_answer(answer), m_in(in), m_out(out), m_err(err) {}

    void ReadWindow(TestMembers&) override {}
    // The running status, one line a change (off by default).
    void ShowMembers(const TestMembers& members) override;
    bool AskYesNo(const QString& text, const QString& caption) override;
    // The error, then the troubleshooter's command for that port.
    void ShowOpenError(const QString& text, const QString& caption, uint8_t comPort) override;

    void SetShowStatus(bool show) { m_showStatus = show; }
    // The text of the last error shown; empty when there was none.
    const QString& LastError() const { return m_lastError; }

private:
    Answer m_answer;
    std::istream& m_in;
    std::ostream& m_out;
    std::ostream& m_err;
    bool m_showStatus = false;
    QString m_shownStatus;
    QString m_lastError;
};
