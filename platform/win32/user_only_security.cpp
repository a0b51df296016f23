#include "platform/win32/windows_api.h"

#include <aclapi.h>
#include <sddl.h>

#include <memory>
#include <vector>

#include "platform/win32/user_only_security.h"

namespace platform::win32 {
namespace {

// The token's user as a SID of its own (null on failure).
std::vector<BYTE> CurrentUser() {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) {
        return {};
    }
    DWORD size = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> info(size);
    bool ok = size != 0 && ::GetTokenInformation(token, TokenUser, info.data(), size, &size);
    ::CloseHandle(token);
    if (!ok) {
        return {};
    }
    PSID sid = reinterpret_cast<TOKEN_USER*>(info.data())->User.Sid;
    std::vector<BYTE> copy(::GetLengthSid(sid));
    return ::CopySid(static_cast<DWORD>(copy.size()), copy.data(), sid) ? copy
                                                                        : std::vector<BYTE>();
}

bool IsWellKnown(PSID sid, WELL_KNOWN_SID_TYPE type) {
    return ::IsWellKnownSid(sid, type) != 0;
}

}  // namespace

UserOnlySecurity::UserOnlySecurity() {
    const std::string user = CurrentUserSid();
    if (user.empty()) {
        return;
    }
    // Owner the user; a protected list (nothing inherited from above) with
    // one entry: full access for the user, passed on to files and folders.
    const std::string sddl = "O:" + user + "D:P(A;OICI;FA;;;" + user + ")";
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1,
                                                                &descriptor_, nullptr)) {
        descriptor_ = nullptr;
        return;
    }
    attributes_.nLength = sizeof attributes_;
    attributes_.lpSecurityDescriptor = descriptor_;
    attributes_.bInheritHandle = FALSE;
}

UserOnlySecurity::~UserOnlySecurity() {
    if (descriptor_ != nullptr) {
        ::LocalFree(descriptor_);
    }
}

std::string CurrentUserSid() {
    std::vector<BYTE> user = CurrentUser();
    char* text = nullptr;
    if (user.empty() || !::ConvertSidToStringSidA(user.data(), &text)) {
        return {};
    }
    std::string sid = text;
    ::LocalFree(text);
    return sid;
}

bool OnlyTheUserMayEnter(const std::string& path, std::string* why) {
    std::vector<BYTE> user = CurrentUser();
    if (user.empty()) {
        *why = "the current user cannot be told";
        return false;
    }
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    DWORD status = ::GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT,
                                           OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                           &owner, nullptr, &dacl, nullptr, &descriptor);
    if (status != ERROR_SUCCESS) {
        *why = "cannot examine " + path + ": " + SystemErrorText(status);
        return false;
    }
    std::unique_ptr<void, decltype(&::LocalFree)> release(descriptor, &::LocalFree);
    if (owner == nullptr || !::EqualSid(owner, user.data())) {
        *why = path + " belongs to another user";
        return false;
    }
    if (dacl == nullptr) {
        *why = path + " is open to other users";  // no list at all: everybody may
        return false;
    }
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* entry = nullptr;
        if (!::GetAce(dacl, i, &entry)) {
            continue;
        }
        auto* header = static_cast<ACE_HEADER*>(entry);
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE) {
            continue;
        }
        PSID sid = &static_cast<ACCESS_ALLOWED_ACE*>(entry)->SidStart;
        if (!::EqualSid(sid, user.data()) && !IsWellKnown(sid, WinLocalSystemSid) &&
            !IsWellKnown(sid, WinBuiltinAdministratorsSid) &&
            !IsWellKnown(sid, WinCreatorOwnerSid)) {
            *why = path + " is open to other users";
            return false;
        }
    }
    return true;
}

}  // namespace platform::win32
