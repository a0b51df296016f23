#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "platform/paths.h"

namespace fs = std::filesystem;

namespace test_support {

TempDir::TempDir(const std::string& prefix) {
    path_ = platform::MakeTemporaryDirectory(prefix);
    if (path_.empty()) {
        ADD_FAILURE() << "cannot create a temporary directory " << prefix << " in "
                      << platform::TempDirectory();
    }
}

TempDir::~TempDir() {
    if (!path_.empty()) {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
}

std::string TempDir::File(const std::string& name) const {
    return path_ + platform::kPathSeparator + name;
}

std::string TempDir::Write(const std::string& name, const std::string& data) const {
    std::string path = File(name);
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    EXPECT_TRUE(WriteFileBytes(path, data)) << "cannot write " << path;
    return path;
}

std::string TempDir::Read(const std::string& name) const {
    return ReadFileBytes(File(name));
}

bool TempDir::Exists(const std::string& name) const {
    std::error_code ec;
    return fs::exists(File(name), ec);
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool WriteFileBytes(const std::string& path, const std::string& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    out.close();
    return static_cast<bool>(out);
}

}  // namespace test_support
