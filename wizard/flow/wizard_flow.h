// The page flow of the wizard: the pages by their dialog ids, the flags the
// pages share, and which page Next leads to.
#pragma once

namespace flow {

// The pages, by the ids of their dialogs, in the order of the sheet.
constexpr int kWelcomePage = 1105;
constexpr int kConfigurationPage = 1108;
constexpr int kSelectionPage = 1109;
constexpr int kSearchPage = 1106;
constexpr int kUpdatePage = 1112;

// Flags shared by the pages (GUI thread only). Whether the modem has an AT
// interpreter is part of the wizard's state (the worker reads it too).
struct FlowFlags {
    bool manualSelection = false;  // the user chose the modem (or had to)
    bool updateStarted = false;    // Next or Finish on the update page
    bool modelListFresh = false;   // the model list was read again; the selection page refills
};

// The manual selection page is shown only with manual selection, and not
// once the update has started.
bool SelectionPageShown(const FlowFlags& flags);
// The search page is skipped once the update has started and for a modem
// without AT interpreter (its pair goes to the update unchecked).
bool SearchPageShown(const FlowFlags& flags, bool hasAtInterpreter);

// The page that Next leads to from page, skipping the pages not shown;
// -1 after the update page.
int NextPage(int page, const FlowFlags& flags, bool hasAtInterpreter);
// The page that Back leads to from page: the one whose Next leads there;
// -1 from the welcome page.
int PreviousPage(int page, const FlowFlags& flags, bool hasAtInterpreter);

}  // namespace flow
