#pragma once

#include <optional>
#include <string>

// A port as a user types it in the troubleshooter's port box or after --port, read as
// TypedPortNumber reads it ("COM33", "com33", " 33 "). Nothing for any other text or a
// number outside 1 to 255.
std::optional<unsigned> ParseTypedPort(const std::string& text);
