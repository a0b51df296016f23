// The promises a fuzz target checks besides crashes and memory errors. A
// broken one ends the run like a crash, so that libFuzzer keeps the input.
#pragma once

namespace fuzz {

[[noreturn]] void Broken(const char* promise);

inline void Check(bool kept, const char* promise) {
    if (!kept) {
        Broken(promise);
    }
}

}  // namespace fuzz
