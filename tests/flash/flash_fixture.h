// The set-up of the flash plug-in's tests: a flash-loader modem on a
// scripted port and virtual clock, the port open, a recording page, the
// wizard's _Status, a directory for Wizard.inf and the HEX files, and the
// trace text.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "flash_modem.h"
#include "plugin_api/status.h"
#include "plugin_api/upload_settings.h"
#include "serial/serial.h"
#include "tests/support/recording_page.h"
#include "tests/support/temp_dir.h"
#include "tests/support/trace_capture.h"

class FlashFixture : public ::testing::Test {
  protected:
    FlashFixture();
    ~FlashFixture() override;

    // Writes Wizard.inf with one model section holding keys, and points
    // _Status at it.
    void Config(const std::string& keys);
    // Writes image and loader files; returns the UploadSettings file list
    // naming them (an empty loader text leaves the loader out).
    char* Files(const std::string& image, const std::string& loader);
    std::uint64_t Now() const { return clock_.Now64(); }

    platform::testing::ScopedVirtualClock clockScope_;
    platform::testing::VirtualClock& clock_;
    std::shared_ptr<flash_test::FailingWriteSerial> device_;
    flash_test::FlashModem modem;
    CSerial port;
    test_support::RecordingPage page;
    test_support::TempDir dir{"flash-test"};
    test_support::TraceCapture trace;
    _Status status{};
    UploadSettings settings{};
};
