// A fresh temporary directory for one test, removed with everything in it
// when the object goes.
#pragma once

#include <string>

namespace test_support {

class TempDir {
  public:
    // Creates <system temp>/<prefix>-XXXXXX. Fails the test on error.
    explicit TempDir(const std::string& prefix = "wizard-test");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    // Path() + "/" + name.
    std::string File(const std::string& name) const;

    // Writes (replaces) a file below the directory; returns its path.
    std::string Write(const std::string& name, const std::string& data) const;
    // The whole content of a file below the directory ("" when missing).
    std::string Read(const std::string& name) const;
    bool Exists(const std::string& name) const;

  private:
    std::string path_;
};

// The whole content of a file ("" when it cannot be read).
std::string ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::string& data);

}  // namespace test_support
