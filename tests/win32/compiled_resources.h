// A test over one compiled resource file of the build (WIN32_TEST_RESOURCE_DIR),
// read once per test, with its dialogs copied and walked as the sheet does.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/win32/resource_file.h"
#include "wizard/win32/dialog_template_format.h"
#include "wizard/win32/page_template.h"

namespace win32_test {

constexpr std::uint16_t kEnglishUs = 0x0409;

class CompiledResources : public ::testing::Test {
  protected:
    explicit CompiledResources(const char* file) : file_(file) {}

    void SetUp() override {
        std::string error;
        ASSERT_TRUE(ReadResourceFile(std::string(WIN32_TEST_RESOURCE_DIR) + "/" + file_,
                                     &resources_, &error))
            << error;
    }

    // The English dialog of that id as a page template, empty (and a
    // failure) when the file has none.
    win32::PageTemplate Dialog(std::uint16_t dialog) {
        const Resource* resource = FindResource(resources_, kDialogType, dialog, kEnglishUs);
        EXPECT_NE(resource, nullptr) << "dialog " << dialog;
        return resource == nullptr
                   ? win32::PageTemplate()
                   : win32::PageTemplate::Copy(resource->data.data(), resource->data.size());
    }

    static win32::DialogTemplateLayout Walk(const win32::PageTemplate& page) {
        win32::DialogTemplateLayout layout;
        std::string error;
        EXPECT_TRUE(win32::WalkDialogTemplate(page.data(), page.size(), &layout, &error)) << error;
        return layout;
    }

    std::vector<Resource> resources_;

  private:
    const char* file_;
};

}  // namespace win32_test
