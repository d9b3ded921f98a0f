#pragma once

#include <string>

// Creates (or empties) the capture file at path for writing binary data and returns its
// descriptor, or -1 with `error` set to why, in words for the user. A FIFO or a named pipe a
// live Wireshark reads from is opened as it is.
int OpenCaptureDescriptor(const std::string& path, std::string& error);
