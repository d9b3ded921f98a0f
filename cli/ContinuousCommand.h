#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/OutputFormat.h"
#include "hart/HartLink.h"

// `tralvo-cli ... continuous [--count N]`: prints "Continous send...", then polls address 0
// back to back, one line each ("poll <k>: answered" / "poll <k>: no answer"), N times or
// until interrupted() says so. With format.json each poll is one object
// (ContinuousPollJson) and the status lines go to err. The port is closed on every way out.
// Returns the exit status.
int RunContinuousCommand(CHartLink& link, uint8_t comPort, const std::vector<std::string>& args,
                         const std::function<bool()>& interrupted, std::ostream& out,
                         std::ostream& err, const OutputFormat& format = {});

// The words after "continuous" read into the number of polls (0: until interrupted);
// nothing, with a message on err, when they cannot be used.
std::optional<uint64_t> ReadContinuousArguments(const std::vector<std::string>& args,
                                                std::ostream& err);
// The same with the arguments already read.
int RunContinuousCommand(CHartLink& link, uint8_t comPort, uint64_t count,
                         const std::function<bool()>& interrupted, std::ostream& out,
                         std::ostream& err, const OutputFormat& format = {});

// `continuous --json`, one object a poll, in the shape of pv's:
//   timestamp  IsoTimestamp of the poll's end
//   count      the poll's number, from 1
//   errors     the polls so far that no device answered
//   answered   whether a device answered this one
//   loop_current_ma, pv, pv_unit, pv_unit_code  always null: an identity poll reads no PV
QJsonObject ContinuousPollJson(const QDateTime& time, uint64_t count, uint64_t errors,
                               bool answered);
