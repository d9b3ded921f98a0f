// Placeholder until the link layer lands.
#include "hart/HartLink.h"

CHartLink::CHartLink(CSerial& port, IClock& clock) : m_port(port), m_clock(clock) {}
unsigned CHartLink::OpenPort(uint8_t, uint32_t) { return kLinkPortError; }
void CHartLink::ClosePort() { m_port.Close(); }
unsigned CHartLink::SendFrame(const uint8_t*, size_t, uint32_t) { return kLinkPortError; }
unsigned CHartLink::ReceiveFrame(bool, uint8_t*, uint32_t) { return kLinkNoReply; }
