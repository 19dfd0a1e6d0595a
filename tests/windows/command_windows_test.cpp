// The command's Windows calls, built with MinGW and run under Wine: standard error into a pipe
// that nobody reads, and the access list of a password file.
#include <windows.h>
// After windows.h, which it needs.
#include <sddl.h>

#include <cstdio>
#include <string>

#include "cli/windows/pipe_write.h"
#include "files/windows/others_may_read.h"

namespace {

using namespace std::chrono_literals;

int failures = 0;
void check(bool passed, const char* row, const char* what) {
    if (!passed) std::printf("failed: %s: %s\n", row, what), ++failures;
}

// Standard error a pipe of 4096 bytes, empty or full.
struct PipeRow {
    const char* name;
    bool full;
    std::chrono::milliseconds patience;
};
const PipeRow kPipeRows[] = {
    {.name = "RoomInThePipe", .full = false, .patience = 0ms},
    {.name = "FullPipe", .full = true, .patience = 100ms},
};

// Access lists that Wine keeps: it stores a file's mode bits, shown as entries of the owner,
// SYSTEM and Everyone, so that lists with other users' entries can only be tried on Windows.
struct AclRow {
    const char* name;
    const char* list;
    bool othersMayRead;
};
// clang-format off
const AclRow kAclRows[] = {
    {.name = "SystemAndAdministrators", .list = "D:P(A;;FA;;;SY)(A;;FA;;;BA)", .othersMayRead = false},
    {.name = "EveryoneMayRead", .list = "D:P(A;;FA;;;SY)(A;;FR;;;WD)", .othersMayRead = true},
};
// clang-format on

}  // namespace

int main() {
    for (const PipeRow& row : kPipeRows) {
        HANDLE reader = nullptr, writer = nullptr;
        CreatePipe(&reader, &writer, nullptr, 4096);
        while (row.full && zelvo::cli::writeWithin(writer, "f", 0ms)) {
        }
        const std::string bytes(3000, 'e');
        std::string got(bytes.size(), '\0');
        DWORD read = 0;
        check(zelvo::cli::writeWithin(writer, bytes, row.patience) != row.full &&
                  (row.full || (ReadFile(reader, got.data(), DWORD(got.size()), &read, nullptr) &&
                                got == bytes)),
              row.name, row.full ? "written" : "not written");
        // The handle waits again for its next writes, as the program that shares it expects.
        DWORD state = 0;
        GetNamedPipeHandleStateW(writer, &state, nullptr, nullptr, nullptr, nullptr, 0);
        check(!(state & PIPE_NOWAIT), row.name, "left not waiting");
        CloseHandle(reader);
        CloseHandle(writer);
    }
    for (const AclRow& row : kAclRows) {
        SECURITY_ATTRIBUTES security{sizeof security, nullptr, FALSE};
        ConvertStringSecurityDescriptorToSecurityDescriptorA(
            row.list, SDDL_REVISION_1, &security.lpSecurityDescriptor, nullptr);
        DeleteFileA(row.name);
        CloseHandle(CreateFileA(row.name, GENERIC_WRITE, 0, &security, CREATE_NEW, 0, nullptr));
        LocalFree(security.lpSecurityDescriptor);
        const HANDLE file =
            CreateFileA(row.name, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        check(file != INVALID_HANDLE_VALUE &&
                  zelvo::files::othersMayRead(file) == row.othersMayRead,
              row.name, "who else may read");
        CloseHandle(file);
        DeleteFileA(row.name);
    }
    return failures == 0 ? 0 : 1;
}
