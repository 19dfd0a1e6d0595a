#include "files/windows/others_may_read.h"

#include <aclapi.h>

#include <memory>
#include <vector>

namespace zelvo::files {
namespace {

struct LocalFreer {
    void operator()(void* memory) const { LocalFree(memory); }
};

// The current user's account, as its token names it; empty when it cannot be read.
std::vector<unsigned char> currentUser() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<unsigned char> user(size);
    if (size == 0 || !GetTokenInformation(token, TokenUser, user.data(), size, &size)) user.clear();
    CloseHandle(token);
    return user;
}

// The rights of an entry that let its holder read the file's contents.
constexpr ACCESS_MASK kReading = FILE_READ_DATA | GENERIC_READ | GENERIC_ALL | MAXIMUM_ALLOWED;

}  // namespace

bool othersMayRead(HANDLE file) {
    PACL list = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(file, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &list,
                        nullptr, &descriptor) != ERROR_SUCCESS) {
        return true;
    }
    const std::unique_ptr<void, LocalFreer> owned(descriptor);
    const std::vector<unsigned char> user = currentUser();
    // No list at all gives everyone every right.
    if (!list || user.empty()) return true;
    const PSID self = reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid;
    for (DWORD index = 0; index < list->AceCount; ++index) {
        void* entry = nullptr;
        if (!GetAce(list, index, &entry)) return true;
        const auto* header = static_cast<const ACE_HEADER*>(entry);
        // An entry that is only passed on (to the files of a folder) does not apply here.
        if (header->AceFlags & INHERIT_ONLY_ACE) continue;
        // An allowing entry with a condition has the same layout; a denying one is not weighed
        // against the others, so it never makes a file count as private.
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE &&
            header->AceType != ACCESS_ALLOWED_CALLBACK_ACE_TYPE) {
            continue;
        }
        const auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(entry);
        if (!(allowed->Mask & kReading)) continue;
        const PSID holder = const_cast<DWORD*>(&allowed->SidStart);
        if (!EqualSid(holder, self) && !IsWellKnownSid(holder, WinLocalSystemSid) &&
            !IsWellKnownSid(holder, WinBuiltinAdministratorsSid) &&
            !IsWellKnownSid(holder, WinCreatorOwnerRightsSid)) {
            return true;
        }
    }
    return false;
}

}  // namespace zelvo::files
