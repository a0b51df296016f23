#include "tools/modemsim/received_files.h"

#include <fstream>

namespace modemsim {

void ReceivedFiles::Write(const std::string& name, const std::string& data) {
    Store(name, data, false);
}

void ReceivedFiles::Append(const std::string& name, const std::string& data) {
    Store(name, data, true);
}

void ReceivedFiles::Store(const std::string& name, const std::string& data, bool append) {
    if (!Enabled()) {
        return;
    }
    std::string path = dir_ + "/" + name;
    std::ofstream out(path, std::ios::binary | (append ? std::ios::app : std::ios::trunc));
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    out.close();
    if (!out) {
        log_.Error("cannot write " + path);
    }
}

}  // namespace modemsim
