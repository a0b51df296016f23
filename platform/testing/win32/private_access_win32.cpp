#include "platform/win32/windows_api.h"

#include <aclapi.h>

#include "platform/testing/private_access.h"
#include "platform/win32/user_only_security.h"

namespace platform::testing {

bool OnlyTheUserMayEnter(const std::string& path) {
    std::string why;
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
           win32::OnlyTheUserMayEnter(path, &why);
}

bool LetOthersIn(const std::string& path) {
    PACL current = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                nullptr, &current, nullptr, &descriptor) != ERROR_SUCCESS) {
        return false;
    }
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    bool done = false;
    if (::AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone)) {
        EXPLICIT_ACCESSA access{};
        access.grfAccessPermissions = GENERIC_READ | GENERIC_EXECUTE;
        access.grfAccessMode = GRANT_ACCESS;
        access.grfInheritance = SUB_CONTAINERS_AND_OBJECTS_INHERIT;
        access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
        access.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
        access.Trustee.ptstrName = static_cast<LPSTR>(everyone);
        PACL widened = nullptr;
        if (::SetEntriesInAclA(1, &access, current, &widened) == ERROR_SUCCESS) {
            done = ::SetNamedSecurityInfoA(const_cast<char*>(path.c_str()), SE_FILE_OBJECT,
                                           DACL_SECURITY_INFORMATION, nullptr, nullptr, widened,
                                           nullptr) == ERROR_SUCCESS;
            ::LocalFree(widened);
        }
        ::FreeSid(everyone);
    }
    ::LocalFree(descriptor);
    return done;
}

}  // namespace platform::testing
