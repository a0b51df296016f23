// StepList: the captions of the steps of one update, shown on the update
// page one per line.
#pragma once

#include <string>
#include <vector>

#include "wizard/engine/multi_string_buffer.h"

constexpr std::size_t STEP_LIST_SIZE = 2048;

class StepList {
  public:
    void Clear() { list_ = {}; }
    // Appends one caption; false when it does not fit (it is left out).
    bool Append(const std::string& caption) { return list_.Append(caption); }
    // Appends every entry of a multi-string up to its empty entry; a
    // list that is not ended within maxBytes is taken only as far as it is.
    void AppendList(const char* list, std::size_t maxBytes);
    std::vector<std::string> Entries() const { return list_.Entries(); }
    const char* data() const { return list_.data(); }

  private:
    MultiStringBuffer<STEP_LIST_SIZE> list_;
};
