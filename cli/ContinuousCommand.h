#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "hart/HartLink.h"

// `tralvo-cli ... continuous [--count N]`: prints "Continous send...", then polls address 0
// back to back, one line each ("poll <k>: answered" / "poll <k>: no answer"), N times or
// until interrupted() says so. The port is closed on every way out. Returns the exit status.
int RunContinuousCommand(CHartLink& link, uint8_t comPort, const std::vector<std::string>& args,
                         const std::function<bool()>& interrupted, std::ostream& out,
                         std::ostream& err);
