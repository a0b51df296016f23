// Directories only the current user may enter: the security descriptor
// they are made with, and the check of one that exists already (internal
// to platform/win32; include after windows_api.h).
#pragma once

#include <string>

namespace platform::win32 {

// Security attributes whose descriptor names the current user as owner and
// gives that user alone full access, inherited by what is made below.
class UserOnlySecurity {
  public:
    UserOnlySecurity();
    ~UserOnlySecurity();
    UserOnlySecurity(const UserOnlySecurity&) = delete;
    UserOnlySecurity& operator=(const UserOnlySecurity&) = delete;

    // Null when the descriptor cannot be made (nothing is then created).
    SECURITY_ATTRIBUTES* Attributes() { return descriptor_ != nullptr ? &attributes_ : nullptr; }

  private:
    PSECURITY_DESCRIPTOR descriptor_ = nullptr;
    SECURITY_ATTRIBUTES attributes_{};
};

// The current user's security identifier in its text form (S-1-5-...);
// empty when the system does not tell.
std::string CurrentUserSid();

// True when path belongs to the current user and lets nobody else in (the
// system account and the administrators, who may enter everything anyway,
// aside). False with the reason in *why otherwise.
bool OnlyTheUserMayEnter(const std::string& path, std::string* why);

}  // namespace platform::win32
