#include "hart/LinkBudget.h"

LinkBudget::LinkBudget(CHartLink& link, uint32_t budgetMs)
    : m_link(link), m_startMs(link.Clock().TickCount()), m_enclosingEndMs(link.m_callEndMs) {
    Allow(budgetMs);
}

LinkBudget::~LinkBudget() { m_link.m_callEndMs = m_enclosingEndMs; }

void LinkBudget::Allow(uint32_t budgetMs) {
    uint32_t endMs = m_startMs + budgetMs;
    // The counter wraps: only the signed difference says which end comes first.
    if (m_enclosingEndMs && static_cast<int32_t>(*m_enclosingEndMs - endMs) < 0) {
        endMs = *m_enclosingEndMs;
    }
    m_endMs = endMs;
    m_link.m_callEndMs = endMs;
}

bool LinkBudget::Spent() const { return MsUntil(m_link.Clock(), m_endMs) == 0; }
