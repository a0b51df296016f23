// A transfer object attached to an open port on a scripted device, and
// in-memory files for it to read and write.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "serial/serial.h"
#include "tests/support/scripted_port.h"
#include "transfer/file_transfer.h"

namespace test_support {

// A temporary binary file holding content, positioned at its start.
inline std::FILE* FileWith(const std::string& content) {
    std::FILE* file = std::tmpfile();
    if (file != nullptr) {
        std::fwrite(content.data(), 1, content.size(), file);
        std::rewind(file);
    }
    return file;
}

// Everything in the file, read from its start.
inline std::string ContentOf(std::FILE* file) {
    std::fflush(file);
    std::rewind(file);
    std::string content;
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        content.append(buffer, n);
    }
    return content;
}

class TransferOnOpenPort : public ::testing::Test {
  protected:
    void SetUp() override {
        serial.SetPortName(port.name());
        ASSERT_TRUE(serial.Open());
        ASSERT_TRUE(transfer.Attach(&serial, nullptr, nullptr));
        port.device().TakeWritten();
    }
    void TearDown() override {
        for (std::FILE* file : files) {
            std::fclose(file);
        }
    }
    std::FILE* Keep(std::FILE* file) {
        files.push_back(file);
        return file;
    }

    ScriptedPort port;
    CSerial serial;
    CXModemTransfer transfer;
    std::vector<std::FILE*> files;
};

}  // namespace test_support
