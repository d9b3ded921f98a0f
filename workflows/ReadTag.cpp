#include "workflows/ReadTag.h"

#include <cstring>

#include "hart/Encoding.h"
#include "hart/LinkResult.h"

namespace {

constexpr uint8_t kCommandReadTagDescriptorDate = 13;
constexpr uint8_t kCommandOldTag = 4;
constexpr uint8_t kOldTagSelector = 1;
constexpr uint8_t kFirstLongFrameRevision = 5;
constexpr size_t kTagLength = 8;
constexpr uint8_t kPackedTagBytes = 6;

}  // namespace

bool ReadTag(CHartLink& link, char* tag) {
    uint8_t payload[hart::kReplyBufferSize] = {};
    const uint8_t* packed = nullptr;
    if (link.m_nUniversalRev >= kFirstLongFrameRevision) {
        if (!link.SendCommand(kCommandReadTagDescriptorDate, payload)) return false;
        packed = payload;
    } else {
        if (!link.SendShortCommand(kCommandOldTag, payload, kOldTagSelector)) return false;
        packed = payload + 1;  // byte 0 echoes the selector
    }
    char text[22] = {};  // UnpackAscii's documented room
    UnpackAscii(packed, text, kPackedTagBytes);
    std::memcpy(tag, text, kTagLength);
    return true;
}
