// The tests' autopilot of Wizard.exe: presses the sheet's buttons as a user
// would (PSM_PRESSBUTTON), reads the pages' controls by id and writes what
// it saw to the test log (see test_hooks.h). On for WIZARD_TEST_AUTOPILOT
// only. WIZARD_TEST_MANUAL=1 checks the box of manual selection,
// WIZARD_TEST_MODEL chooses the model on the selection page, and
// WIZARD_TEST_SCREENSHOTS names a folder for a picture of each page.
#pragma once

#include <windows.h>

#include <set>
#include <string>

namespace win32 {

class SheetPages;

class Autopilot {
  public:
    static constexpr UINT kEveryMs = 100;

    explicit Autopilot(const SheetPages& pages);
    // One look at the sheet, on a timer of the GUI thread.
    void Tick();

  private:
    void Report(int pageId, HWND page, HWND sheet);
    void Picture(int pageId, HWND sheet);

    const SheetPages& pages_;
    HWND lastPage_ = nullptr;
    int settled_ = 0;
    bool done_ = false;
    std::string manual_;
    std::string model_;
    std::string pictures_;
    std::set<int> pictured_;
};

}  // namespace win32
