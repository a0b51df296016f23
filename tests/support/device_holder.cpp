#include "tests/support/device_holder.h"

#include <chrono>
#include <thread>

#include "platform/device_users.h"

namespace test_support {

bool HoldDeviceOpen(platform::Process* holder, const std::string& device, std::string* error) {
    if (!holder->Start({"/bin/sh", "-c", "exec 3<>\"$0\" && echo open && exec sleep 60", device},
                       {}, platform::ProcessOutput::kCapture, error)) {
        return false;
    }
    std::string line;
    if (!holder->ReadLine(&line, 5000) || line != "open") {
        *error = "the holder did not open " + device + ": " + holder->Stderr();
        return false;
    }
    // "open" comes from the shell just before it becomes sleep; callers
    // look for the program by name, so wait for the exec too.
    for (int tries = 0; tries < 500; ++tries) {
        for (const platform::DeviceUser& user : platform::FindProcesses("sleep")) {
            if (user.pid == holder->Pid())
                return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    *error = "the holder of " + device + " did not become sleep";
    return false;
}

}  // namespace test_support
