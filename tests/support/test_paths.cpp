#include "tests/support/test_paths.h"

#include <cstdlib>

#include "platform/shared_library.h"

namespace test_support {
namespace {

std::string FromEnvironment(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    return (value != nullptr && value[0] != '\0') ? value : fallback;
}

}  // namespace

std::string BinDir() {
    return FromEnvironment("WIZARD_BIN_DIR", WIZARD_BIN_DIR_DEFAULT);
}

std::string SourceDir() {
    return FromEnvironment("WIZARD_SOURCE_DIR", WIZARD_SOURCE_DIR_DEFAULT);
}

std::string LibraryFile(const std::string& name) {
    return name + platform::kSharedLibrarySuffix;
}

std::string ProgramPath(const std::string& name) {
    return BinDir() + "/" + name;
}

}  // namespace test_support
