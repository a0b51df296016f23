// One line of progress on the standard error stream: redrawn in place on a
// terminal, printed as a new line only on real change otherwise (logs).
#pragma once

#include <string>

namespace cli {

class ProgressLine {
  public:
    explicit ProgressLine(bool quiet);
    ~ProgressLine() { Finish(); }

    // Shows text with a bar at percent (0..100); percent < 0 draws no bar.
    void Show(const std::string& text, int percent);
    // Ends the line in place so that other output can follow.
    void Finish();

  private:
    bool quiet_;
    bool terminal_;
    bool open_ = false;
    std::string lastText_;
    int lastPercent_ = -2;
};

// "[#########-----------]" for percent of width characters.
std::string Bar(int percent, int width);

}  // namespace cli
