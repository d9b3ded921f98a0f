#pragma once

#include <ostream>

// The exit status for output that could not be written (EX_IOERR): a full disk, a closed
// file. A program that said nothing must not report success.
inline constexpr int kExitIoError = 74;

// The status to exit with once everything is written to `out`: `status`, or, when a write
// or the final flush failed, kExitIoError after a line on `err` that names `program`.
inline int StatusAfterOutput(std::ostream& out, std::ostream& err, const char* program,
                             int status) {
    if (out.flush()) return status;
    err << program << ": error: the output could not be written\n" << std::flush;
    return kExitIoError;
}
