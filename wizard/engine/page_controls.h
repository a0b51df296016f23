// Control ids of the wizard pages that the engine and the plug-ins address
// through a page's message target; the GUI names its widgets by them.
#pragma once

// Update page.
constexpr int IDC_UPDATE_INTRO = 1019;
constexpr int IDC_PROGRESS_BAR = 1020;
constexpr int IDC_PROGRESS_TEXT = 1021;
constexpr int IDC_STEP_BULLET_FIRST = 1029;  // 1029 .. 1036
constexpr int IDC_STEP_LINE_FIRST = 1039;    // 1039 .. 1046
constexpr int kMaxStepLines = 8;

// Search page.
constexpr int IDC_SEARCH_PORT_LINE = 1025;
constexpr int IDC_SEARCH_STATUS_LINE = 1026;
constexpr int IDC_SEARCH_RESULT = 1017;
