#include "cli/windows/pipe_write.h"

#include <algorithm>

namespace zelvo::cli {

namespace {

bool writeAll(HANDLE handle, std::string_view bytes) {
    DWORD written = 0;
    return WriteFile(handle, bytes.data(), DWORD(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

// How long a pipe that is full is left to be read before writing again.
constexpr DWORD kRetryMilliseconds = 10;
// Pieces no larger than a pipe's smallest buffer: Wine writes nothing of a larger one that does
// not fit whole.
constexpr size_t kPiece = 512;

}  // namespace

bool writeWithin(HANDLE handle, std::string_view bytes, std::chrono::milliseconds patience) {
    if (GetFileType(handle) != FILE_TYPE_PIPE) return writeAll(handle, bytes);
    // A pipe's writes wait until they fit, unless its handle is switched to PIPE_NOWAIT: then
    // WriteFile takes what fits and returns. Switched back at once, as the handle may be shared
    // with the program that started this one.
    DWORD mode = PIPE_READMODE_BYTE | PIPE_NOWAIT;
    // A handle that cannot be switched (lacking the right to) is written as any program would.
    if (!SetNamedPipeHandleState(handle, &mode, nullptr, nullptr)) return writeAll(handle, bytes);
    const ULONGLONG deadline = GetTickCount64() + ULONGLONG(patience.count());
    size_t at = 0;
    while (at < bytes.size()) {
        DWORD written = 0;
        const DWORD piece = DWORD(std::min(bytes.size() - at, kPiece));
        if (!WriteFile(handle, bytes.data() + at, piece, &written, nullptr)) break;
        at += written;
        if (written == 0) {
            if (GetTickCount64() >= deadline) break;
            Sleep(kRetryMilliseconds);
        }
    }
    mode = PIPE_READMODE_BYTE | PIPE_WAIT;
    SetNamedPipeHandleState(handle, &mode, nullptr, nullptr);
    return at == bytes.size();
}

}  // namespace zelvo::cli
