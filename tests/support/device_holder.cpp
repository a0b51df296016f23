#include "tests/support/device_holder.h"

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
    return true;
}

}  // namespace test_support
