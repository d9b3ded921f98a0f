#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <cstring>

#include "cli/CaptureOpen.h"

namespace {

std::wstring Utf16(const std::string& text) {
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        length);
    return wide;
}

bool IsNamedPipe(const std::string& path) {
    return path.size() > 9 && _strnicmp(path.c_str(), "\\\\.\\pipe\\", 9) == 0;
}

}  // namespace

int OpenCaptureDescriptor(const std::string& path, std::string& error) {
    // Binary: the C library would otherwise write CR LF for every 0x0A of a frame. A pipe
    // that Wireshark serves exists already and can be neither created nor emptied.
    int flags = _O_WRONLY | _O_BINARY | _O_NOINHERIT;
    if (!IsNamedPipe(path)) flags |= _O_CREAT | _O_TRUNC;
    const int fd = _wopen(Utf16(path).c_str(), flags, _S_IREAD | _S_IWRITE);
    if (fd < 0) error = std::strerror(errno);
    return fd;
}
