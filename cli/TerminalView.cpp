#include "cli/TerminalView.h"

std::string TroubleshooterHint(unsigned comPort) {
    return "Run: com-troubleshooter --report --port " + std::to_string(comPort);
}

void CTerminalView::ShowMembers(const TestMembers& members) {
    if (!m_showStatus || members.strStatus == m_shownStatus) return;
    m_shownStatus = members.strStatus;
    m_out << m_shownStatus.toStdString() << std::endl;
}

bool CTerminalView::AskYesNo(const QString& text, const QString& caption) {
    const std::string question = caption.toStdString() + ": " + text.toStdString();
    if (m_answer != Answer::Ask) {
        const bool yes = m_answer == Answer::Yes;
        m_err << question << ' ' << (yes ? "yes" : "no") << std::endl;
        return yes;
    }
    m_err << question << " [y/n] " << std::flush;
    std::string reply;
    if (!std::getline(m_in, reply)) {
        m_err << std::endl;
        return false;  // no one to answer: as No
    }
    const QString word = QString::fromStdString(reply).trimmed().toLower();
    return word == u"y" || word == u"yes" || word == QStringLiteral("是");
}

void CTerminalView::ShowOpenError(const QString& text, const QString& caption, uint8_t comPort) {
    m_lastError = text;
    m_err << caption.toStdString() << ": " << text.toStdString() << std::endl;
    // The troubleshooter has nothing to check for port 0.
    if (comPort != 0) m_err << TroubleshooterHint(comPort) << std::endl;
}
