// The one source format of the manuals: a small part of Markdown, rendered
// for a terminal (wizard-cli help COMMAND) and as a man page (roff). The man
// pages of wizard-cli, Wizard and modemsim are written in it, and so is the
// help text of every wizard-cli command, so the help and the man page say
// the same thing.
//
// What is understood:
//   # name — summary          first line of a page: the NAME section
//   ## Heading                a section (.SH); ### Heading a subsection (.SS)
//   text lines                a paragraph; a blank line ends it
//   - `TERM`: text            an item: a term and what it means (.TP); the
//     more text                text goes on on lines indented by two spaces
//   - text                    a bullet
//   ```  or 4-space indent    an example, shown as it stands
//   | a | b |  (then |---|)   a table, its first row the header
//   `code`  *italic*  **bold**  [text](address)  \*  inline
//   <!-- ... -->              a comment; not shown
// A term, a heading made of one code span and a synopsis are shown as a
// synopsis: words that start with "-" and lower-case words in bold (to be
// typed as they stand), upper-case words in italics (to be replaced).
#pragma once

#include <string>
#include <vector>

namespace cli::manual {

struct Block {
    enum class Kind { kHeading, kParagraph, kItem, kBullet, kExample, kTable, kComment };
    Kind kind = Kind::kParagraph;
    int level = 0;                               // headings: 1 (page title), 2, 3
    std::string text;                            // heading, paragraph, item or bullet text, comment
    std::string term;                            // items
    std::vector<std::string> lines;              // examples
    std::vector<std::vector<std::string>> rows;  // tables, header first
};

std::vector<Block> Parse(const std::string& source);

// Plain text for a terminal, wrapped at width columns.
std::string RenderText(const std::vector<Block>& blocks, std::size_t width = 79);

struct PageInfo {
    std::string name;     // "wizard-cli"
    std::string section;  // "1"
    std::string date;     // "2026-12-08"
    std::string source;   // "Modem Firmware Wizard 1.0"
    std::string manual;   // "User Commands"
};

// A whole man page in the man(7) macros. The page's first block must be its
// title heading ("# name — summary").
std::string RenderRoff(const std::vector<Block>& blocks, const PageInfo& page);

// A usage line in roff, styled as a synopsis.
std::string RoffSynopsis(const std::string& usage);

}  // namespace cli::manual
