#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "hart/HartFrame.h"

using Bytes = std::vector<uint8_t>;

// A whole request as the link writes it: preamble, body (delimiter through the last data
// byte), checksum.
inline Bytes Frame(size_t preambles, Bytes body) {
    const uint8_t checksum = hart::Checksum(body.data(), body.size());
    body.insert(body.begin(), preambles, hart::kPreambleByte);
    body.push_back(checksum);
    return body;
}

// The identity poll of address 0, 25 bytes.
inline Bytes IdentityPoll() {
    return Frame(hart::kIdentityPollPreambles, {0x02, 0x00, 0x00, 0x00});
}
