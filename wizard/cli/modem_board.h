// The console view of an update of many modems: one line per modem with
// its model and what it is doing (the search's status, the step and a bar,
// the end), on stderr. On a terminal the lines are redrawn in place; in a
// log a row gets a new line only when it has really changed.
#pragma once

#include <string>
#include <vector>

#include "wizard/cli/modem_row.h"

namespace cli {

class ModemBoard {
  public:
    explicit ModemBoard(bool quiet);
    ~ModemBoard() { Finish(); }
    ModemBoard(const ModemBoard&) = delete;
    ModemBoard& operator=(const ModemBoard&) = delete;

    void Show(const std::vector<ModemRow>& rows);
    // Leaves the lines as they are, so other output can follow below.
    void Finish();

  private:
    bool quiet_;
    bool terminal_;
    std::size_t drawn_ = 0;            // lines on the screen to redraw
    std::string screen_;               // what they show
    std::vector<std::string> logged_;  // off a terminal: each row's last line
};

// What a row's line says after its port and model.
std::string RowState(const ModemRow& row);

}  // namespace cli
