#pragma once

#include <cstdint>
#include <optional>

#include "hart/HartLink.h"

// Holds the link's exchanges and pauses to an end in time while it lives: receptions stop
// there, pauses are cut short, and the commands start no further attempt once it has
// passed. Budgets nest: the earliest end counts, so a workflow step's budget also bounds
// every command it runs. One thread at a time, as the link itself.
class LinkBudget {
public:
    LinkBudget(CHartLink& link, uint32_t budgetMs);
    ~LinkBudget();
    LinkBudget(const LinkBudget&) = delete;
    LinkBudget& operator=(const LinkBudget&) = delete;

    // Moves this budget's end to `budgetMs` after its start; an enclosing budget still
    // ends it no later than its own end.
    void Allow(uint32_t budgetMs);
    bool Spent() const;

private:
    CHartLink& m_link;
    uint32_t m_startMs;
    uint32_t m_endMs = 0;
    std::optional<uint32_t> m_enclosingEndMs;
};
