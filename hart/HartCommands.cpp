// Placeholder until the commands land.
#include "hart/HartLink.h"

bool CHartLink::PollIdentity(uint8_t pollAddress, uint8_t) {
    m_nPollAddress = pollAddress;
    return false;
}
bool CHartLink::SendCommand(uint8_t, uint8_t*) { return false; }
bool CHartLink::SendShortCommand(uint8_t, uint8_t*, uint8_t) { return false; }
