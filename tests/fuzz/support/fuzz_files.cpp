#include "tests/fuzz/support/fuzz_files.h"

#include <cstdio>

#include "platform/paths.h"
#include "tests/fuzz/support/fuzz_check.h"

namespace fuzz {
namespace {

class ScratchDirectory {
  public:
    ScratchDirectory() : path_(platform::MakeTemporaryDirectory("wizard-fuzz")) {
        Check(!path_.empty(), "a scratch directory can be made");
    }
    ~ScratchDirectory() { platform::RemoveTree(path_); }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

}  // namespace

std::string ScratchFile(const std::string& name, const std::string& bytes) {
    static ScratchDirectory directory;
    const std::string path = directory.path() + platform::kPathSeparator + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    Check(file != nullptr, "a scratch file can be made");
    const bool whole = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    Check(std::fclose(file) == 0 && whole, "a scratch file can be written");
    return path;
}

}  // namespace fuzz
