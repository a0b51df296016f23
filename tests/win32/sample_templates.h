// The templates the tests walk and grow, assembled from bytes, with where
// their controls begin.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tests/win32/template_bytes.h"

namespace win32_test {

struct SampleTemplate {
    std::vector<std::uint8_t> bytes;
    std::vector<std::size_t> itemOffsets;
};

// A classic inner page (317 x 143, "MS Sans Serif" 8 pt) with four
// controls: three static texts (ids 65534, 1003, 1004 at y 1, 21, 95) and
// a check box (1002 at y 120).
SampleTemplate ClassicPage();

// An extended page (DS_SHELLFONT, "MS Shell Dlg" 8 pt, a menu ordinal and a
// class name) with four controls: a static text (1019, y 1), a progress bar
// by class name with an empty title (1020, y 100), a bitmap by resource
// ordinal 1000 (1029, y 20) and a custom control with a 32-bit id (70000,
// y 30) and three bytes of creation data.
SampleTemplate ExtendedPage();

// A classic template without font, with a menu by name and an odd-length
// title, and two controls: one by class name with creation data (id 7, y 5)
// and a static text by ordinal (id 8, y 40).
SampleTemplate ClassicWithoutFont();

}  // namespace win32_test
