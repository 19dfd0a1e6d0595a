#include "files/windows/owner_only_access.h"

#include <aclapi.h>
#include <userenv.h>

#include <memory>
#include <string>
#include <vector>

namespace zelvo::files {
namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using Token = std::unique_ptr<void, HandleCloser>;

struct LocalFreer {
    void operator()(void* memory) const { LocalFree(memory); }
};

Token processToken() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return nullptr;
    return Token(token);
}

std::wstring fullPath(const wchar_t* path) {
    const DWORD size = GetFullPathNameW(path, 0, nullptr, nullptr);
    if (size == 0) return {};
    std::wstring full(size, L'\0');
    const DWORD written = GetFullPathNameW(path, size, full.data(), nullptr);
    full.resize(written < size ? written : 0);
    return full;
}

}  // namespace

bool insideUserProfile(const wchar_t* path) {
    const Token token = processToken();
    if (!token) return false;
    DWORD size = 0;
    GetUserProfileDirectoryW(token.get(), nullptr, &size);
    std::wstring profile(size, L'\0');
    if (size == 0 || !GetUserProfileDirectoryW(token.get(), profile.data(), &size)) return false;
    profile.resize(wcslen(profile.c_str()));
    if (!profile.empty() && profile.back() != L'\\') profile += L'\\';
    const std::wstring full = fullPath(path);
    return full.size() > profile.size() &&
           CompareStringOrdinal(full.c_str(), int(profile.size()), profile.c_str(),
                                int(profile.size()), TRUE) == CSTR_EQUAL;
}

HANDLE createNewFile(const wchar_t* path, bool ownerOnly) {
    const auto create = [path](SECURITY_ATTRIBUTES* security) {
        return CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, security, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    if (!ownerOnly) return create(nullptr);

    const Token token = processToken();
    DWORD size = 0;
    if (token) GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    std::vector<unsigned char> user(size);
    if (!token || size == 0 ||
        !GetTokenInformation(token.get(), TokenUser, user.data(), size, &size)) {
        return INVALID_HANDLE_VALUE;
    }
    EXPLICIT_ACCESSW access{};
    access.grfAccessPermissions = GENERIC_ALL;
    access.grfAccessMode = SET_ACCESS;
    access.grfInheritance = NO_INHERITANCE;
    access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    access.Trustee.TrusteeType = TRUSTEE_IS_USER;
    access.Trustee.ptstrName =
        static_cast<LPWSTR>(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid);
    PACL list = nullptr;
    if (const DWORD error = SetEntriesInAclW(1, &access, nullptr, &list); error != ERROR_SUCCESS) {
        SetLastError(error);
        return INVALID_HANDLE_VALUE;
    }
    const std::unique_ptr<ACL, LocalFreer> owned(list);
    // Protected, so that nothing the folder passes on is added to the one entry.
    SECURITY_DESCRIPTOR descriptor{};
    if (!InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) ||
        !SetSecurityDescriptorDacl(&descriptor, TRUE, list, FALSE) ||
        !SetSecurityDescriptorControl(&descriptor, SE_DACL_PROTECTED, SE_DACL_PROTECTED)) {
        return INVALID_HANDLE_VALUE;
    }
    SECURITY_ATTRIBUTES security{sizeof(security), &descriptor, FALSE};
    return create(&security);
}

namespace {

bool ownerIsUserOrAdministrators(PSID owner) {
    if (IsWellKnownSid(owner, WinBuiltinAdministratorsSid) ||
        IsWellKnownSid(owner, WinLocalSystemSid)) {
        return true;
    }
    const Token token = processToken();
    DWORD size = 0;
    if (token) GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    std::vector<unsigned char> user(size);
    return token && size != 0 &&
           GetTokenInformation(token.get(), TokenUser, user.data(), size, &size) &&
           EqualSid(owner, reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid);
}

}  // namespace

bool ownedByUserOrAdministrators(const wchar_t* path) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(path, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                              nullptr, nullptr, &descriptor) != ERROR_SUCCESS) {
        return false;
    }
    const std::unique_ptr<void, LocalFreer> owned(descriptor);
    return ownerIsUserOrAdministrators(owner);
}

bool handleOwnedByUserOrAdministrators(HANDLE file) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(file, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                        nullptr, &descriptor) != ERROR_SUCCESS) {
        return false;
    }
    const std::unique_ptr<void, LocalFreer> owned(descriptor);
    return ownerIsUserOrAdministrators(owner);
}

}  // namespace zelvo::files
