// The end of an update of many modems: one row per port with its model,
// the firmware before and after, the result and the seconds it took, as a
// table for a person or as the "summary" event of --json.
#pragma once

#include <string>
#include <vector>

#include "wizard/cli/json/json_writer.h"
#include "wizard/cli/modem_row.h"

namespace cli {

// A row's result: a fixed token for JSON ("updated", "failed", "no-modem",
// "not-updated", "not-searched", "unfinished") and the table's word for it.
const char* ResultToken(const ModemRow& row);
std::string ResultWord(const ModemRow& row);

// The table, with a header line, columns lined up, each line ended.
std::string SummaryTable(const std::vector<ModemRow>& rows);

// The rows as a JSON array of objects.
std::string SummaryJson(const std::vector<ModemRow>& rows);

}  // namespace cli
