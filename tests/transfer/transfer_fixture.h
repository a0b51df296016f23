// A transfer object attached to an open port on a scripted device, and
// in-memory files for it to read and write.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "serial/serial.h"
#include "tests/support/file_content.h"
#include "tests/support/scripted_port.h"
#include "transfer/file_transfer.h"

namespace test_support {

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
