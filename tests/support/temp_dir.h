// A fresh directory for one test's files, removed with everything in it
// when the object goes.
#pragma once

#include <string>

namespace testsupport {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // path()/name
    std::string File(const std::string& name) const;
    // Writes bytes to path()/name (directories on the way are made) and
    // returns the full path.
    std::string Write(const std::string& name, const std::string& bytes) const;

  private:
    std::string path_;
};

// The bytes of a file; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);

}  // namespace testsupport
