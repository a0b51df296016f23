#include "wizard/cli/manual_text.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace cli::manual {
namespace {

using Kind = Block::Kind;

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

std::string TrimBlank(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return std::string();
    }
    const std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

bool IsBlank(const std::string& line) {
    return line.find_first_not_of(" \t\r") == std::string::npos;
}

std::size_t Indent(const std::string& line) {
    std::size_t n = 0;
    while (n < line.size() && line[n] == ' ') {
        ++n;
    }
    return n;
}

int HeadingLevel(const std::string& line) {
    std::size_t n = 0;
    while (n < line.size() && line[n] == '#') {
        ++n;
    }
    return (n >= 1 && n <= 3 && n < line.size() && line[n] == ' ') ? static_cast<int>(n) : 0;
}

// A line that begins a block of its own, so it cannot go on a paragraph.
bool StartsBlock(const std::string& line) {
    return HeadingLevel(line) != 0 || StartsWith(line, "- ") || StartsWith(line, "|") ||
           StartsWith(line, "```") || StartsWith(line, "<!--");
}

// Cells of a table row: split at "|" that are not escaped; "\|" becomes "|".
std::vector<std::string> SplitRow(const std::string& line) {
    std::vector<std::string> cells;
    std::string cell;
    std::string row = TrimBlank(line);
    if (!row.empty() && row.front() == '|') {
        row.erase(0, 1);
    }
    for (std::size_t i = 0; i < row.size(); ++i) {
        if (row[i] == '\\' && i + 1 < row.size() && row[i + 1] == '|') {
            cell += '|';
            ++i;
        } else if (row[i] == '|') {
            cells.push_back(TrimBlank(cell));
            cell.clear();
        } else {
            cell += row[i];
        }
    }
    if (!TrimBlank(cell).empty()) {
        cells.push_back(TrimBlank(cell));
    }
    return cells;
}

bool IsSeparatorRow(const std::vector<std::string>& cells) {
    return !cells.empty() && std::all_of(cells.begin(), cells.end(), [](const std::string& c) {
        return !c.empty() && c.find_first_not_of("-: ") == std::string::npos;
    });
}

// "`TERM`: text" gives the term and the text; false for a plain bullet.
bool SplitTerm(const std::string& text, std::string* term, std::string* rest) {
    if (text.empty() || text[0] != '`') {
        return false;
    }
    const std::size_t close = text.find('`', 1);
    if (close == std::string::npos || close + 1 >= text.size() || text[close + 1] != ':') {
        return false;
    }
    *term = text.substr(1, close - 1);
    *rest = TrimBlank(text.substr(close + 2));
    return true;
}

// ---- inline spans ---------------------------------------------------------

enum class Style { kPlain, kCode, kItalic, kBold };

struct Span {
    Style style;
    std::string text;
};

std::vector<Span> ParseInline(const std::string& text) {
    std::vector<Span> spans;
    std::string plain;
    auto flush = [&]() {
        if (!plain.empty()) {
            spans.push_back({Style::kPlain, plain});
            plain.clear();
        }
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\' && i + 1 < text.size() &&
            std::ispunct(static_cast<unsigned char>(text[i + 1]))) {
            plain += text[++i];
            continue;
        }
        if (c == '`') {
            const std::size_t close = text.find('`', i + 1);
            if (close != std::string::npos) {
                flush();
                spans.push_back({Style::kCode, text.substr(i + 1, close - i - 1)});
                i = close;
                continue;
            }
        }
        if (c == '*') {
            const bool bold = i + 1 < text.size() && text[i + 1] == '*';
            const std::size_t start = i + (bold ? 2 : 1);
            const std::size_t close = text.find(bold ? "**" : "*", start);
            if (start < text.size() && text[start] != ' ' && close != std::string::npos &&
                close > start) {
                flush();
                spans.push_back(
                    {bold ? Style::kBold : Style::kItalic, text.substr(start, close - start)});
                i = close + (bold ? 1 : 0);
                continue;
            }
        }
        if (c == '[') {
            const std::size_t close = text.find("](", i + 1);
            const std::size_t end = close == std::string::npos ? close : text.find(')', close);
            if (end != std::string::npos) {
                for (const Span& inner : ParseInline(text.substr(i + 1, close - i - 1))) {
                    if (inner.style == Style::kPlain) {
                        plain += inner.text;
                    } else {
                        flush();
                        spans.push_back(inner);
                    }
                }
                i = end;
                continue;
            }
        }
        plain += c;
    }
    flush();
    return spans;
}

// A synopsis: option words and lower-case words to be typed, upper-case
// words to be replaced, everything else plain.
std::vector<Span> SynopsisSpans(const std::string& text) {
    std::vector<Span> spans;
    auto add = [&spans](Style style, const std::string& part) {
        if (!spans.empty() && spans.back().style == style) {
            spans.back().text += part;
        } else {
            spans.push_back({style, part});
        }
    };
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const bool option =
            c == '-' && i + 1 < text.size() &&
            (std::isalnum(static_cast<unsigned char>(text[i + 1])) || text[i + 1] == '-');
        if (option || std::isalnum(c) || c == '_') {
            std::size_t end = i;
            while (end < text.size() &&
                   (std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '_' ||
                    text[end] == '-' || (option && text[end] == '='))) {
                ++end;
            }
            const std::string word = text.substr(i, end - i);
            const bool hasLower = std::any_of(word.begin(), word.end(), [](char ch) {
                return std::islower(static_cast<unsigned char>(ch));
            });
            const bool hasUpper = std::any_of(word.begin(), word.end(), [](char ch) {
                return std::isupper(static_cast<unsigned char>(ch));
            });
            add(!option && hasUpper && !hasLower ? Style::kItalic : Style::kBold, word);
            i = end;
        } else {
            add(Style::kPlain, std::string(1, text[i]));
            ++i;
        }
    }
    return spans;
}

// ---- terminal text --------------------------------------------------------

std::string PlainOf(const std::vector<Span>& spans) {
    std::string text;
    for (const Span& span : spans) {
        text += span.text;
    }
    return text;
}

std::size_t Columns(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// Words of text on lines of at most width columns; the first line starts
// after firstIndent (already written), the others after indent spaces.
std::string Wrap(const std::string& text, std::size_t firstColumn, std::size_t indent,
                 std::size_t width) {
    std::istringstream words(text);
    std::string word, out;
    std::size_t column = firstColumn;
    bool lineEmpty = true;
    while (words >> word) {
        const std::size_t length = Columns(word);
        if (!lineEmpty && column + 1 + length > width) {
            out += "\n" + std::string(indent, ' ');
            column = indent;
            lineEmpty = true;
        }
        if (!lineEmpty) {
            out += ' ';
            ++column;
        }
        out += word;
        column += length;
        lineEmpty = false;
    }
    return out;
}

constexpr std::size_t kTermIndent = 2;
constexpr std::size_t kBodyIndent = 8;

std::string TextTable(const Block& table, std::size_t width) {
    std::vector<std::vector<std::string>> rows;
    std::size_t columns = 0;
    for (const auto& row : table.rows) {
        std::vector<std::string> cells;
        for (const std::string& cell : row) {
            cells.push_back(PlainOf(ParseInline(cell)));
        }
        columns = std::max(columns, cells.size());
        rows.push_back(cells);
    }
    std::vector<std::size_t> widths(columns, 0);
    for (const auto& row : rows) {
        for (std::size_t c = 0; c + 1 < row.size(); ++c) {
            widths[c] = std::max(widths[c], Columns(row[c]));
        }
    }
    std::string out;
    for (const auto& row : rows) {
        std::string line(kTermIndent, ' ');
        std::size_t column = kTermIndent;
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c + 1 == row.size()) {
                line += Wrap(row[c], column, column, width);
            } else {
                line += row[c] + std::string(widths[c] - Columns(row[c]) + 2, ' ');
                column += widths[c] + 2;
            }
        }
        while (!line.empty() && line.back() == ' ') {
            line.pop_back();
        }
        out += line + "\n";
    }
    return out;
}

// ---- roff -----------------------------------------------------------------

// Characters of the source that roff spells in its own way.
std::string RoffEscape(const std::string& text, bool code) {
    static const std::pair<const char*, const char*> kNamed[] = {
        {"\xE2\x80\x94", "\\(em"}, {"\xE2\x80\x93", "\\(en"}, {"\xE2\x80\x99", "\\(cq"},
        {"\xE2\x80\x9C", "\\(lq"}, {"\xE2\x80\x9D", "\\(rq"}, {"\xE2\x86\x92", "\\(->"},
        {"\xC3\x97", "\\(mu"},     {"\xE2\x80\xA6", "..."}};
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        bool named = false;
        for (const auto& [utf8, roff] : kNamed) {
            const std::size_t length = std::char_traits<char>::length(utf8);
            if (text.compare(i, length, utf8) == 0) {
                out += roff;
                i += length - 1;
                named = true;
                break;
            }
        }
        if (named) {
            continue;
        }
        if (c == '\\') {
            out += "\\e";
        } else if (c == '-' && code) {
            out += "\\-";
        } else if (c == '/' && code && i + 1 < text.size()) {
            // A long path may break after a slash, as it is never hyphenated.
            out += "/\\:";
        } else if (c == '\'' && code) {
            out += "\\(aq";
        } else if (c == '"' && code) {
            out += "\\(dq";
        } else if (c == '`' && code) {
            out += "\\(ga";
        } else {
            out += c;
        }
    }
    return out;
}

std::string RoffSpans(const std::vector<Span>& spans) {
    std::string out;
    for (const Span& span : spans) {
        switch (span.style) {
            case Style::kPlain:
                out += RoffEscape(span.text, false);
                break;
            case Style::kCode:
            case Style::kBold:
                out += "\\fB" + RoffEscape(span.text, true) + "\\fR";
                break;
            case Style::kItalic:
                out += "\\fI" + RoffEscape(span.text, span.style != Style::kPlain) + "\\fR";
                break;
        }
    }
    return out;
}

// Inline text; a text that is one code span is styled as a synopsis.
std::string RoffInline(const std::string& text) {
    const std::vector<Span> spans = ParseInline(text);
    if (spans.size() == 1 && spans[0].style == Style::kCode) {
        return RoffSpans(SynopsisSpans(spans[0].text));
    }
    return RoffSpans(spans);
}

// A text line that roff would take as a request is guarded.
std::string RoffLine(const std::string& line) {
    if (!line.empty() && (line[0] == '.' || line[0] == '\'')) {
        return "\\&" + line;
    }
    return line;
}

std::string RoffQuoted(const std::string& text) {
    std::string out;
    for (char c : text) {
        out += c == '"' ? std::string("\\(dq") : std::string(1, c);
    }
    return "\"" + out + "\"";
}

std::string Upper(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

// A table as a list: the first cell is the term, the last one what it
// means, the ones between are added as "(heading: value)". Tables of tbl
// do not wrap their text to the reader's width, lists do.
std::string RoffTable(const Block& table) {
    if (table.rows.size() < 2) {
        return std::string();
    }
    const std::vector<std::string>& headings = table.rows.front();
    std::string out;
    for (std::size_t r = 1; r < table.rows.size(); ++r) {
        const std::vector<std::string>& row = table.rows[r];
        if (row.empty()) {
            continue;
        }
        std::string text = row.size() > 1 ? RoffInline(row.back()) : std::string();
        for (std::size_t c = 1; c + 1 < row.size(); ++c) {
            if (row[c].empty()) {
                continue;
            }
            std::string heading = c < headings.size() ? PlainOf(ParseInline(headings[c])) : "";
            if (!heading.empty()) {
                heading[0] =
                    static_cast<char>(std::tolower(static_cast<unsigned char>(heading[0])));
                heading += ": ";
            }
            text +=
                (text.empty() ? "(" : " (") + RoffEscape(heading, false) + RoffInline(row[c]) + ")";
        }
        out += ".TP\n" + RoffLine(RoffInline(row.front())) + "\n" +
               (text.empty() ? std::string("\\&") : RoffLine(text)) + "\n";
    }
    return out;
}

}  // namespace

std::vector<Block> Parse(const std::string& source) {
    std::vector<std::string> lines;
    {
        std::istringstream in(source);
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            lines.push_back(line);
        }
    }
    std::vector<Block> blocks;
    std::size_t i = 0;
    while (i < lines.size()) {
        const std::string& line = lines[i];
        if (IsBlank(line)) {
            ++i;
            continue;
        }
        Block block;
        if (StartsWith(line, "<!--")) {
            std::string text = line.substr(4);
            while (text.find("-->") == std::string::npos && ++i < lines.size()) {
                text += "\n" + lines[i];
            }
            block.kind = Kind::kComment;
            block.text = TrimBlank(text.substr(0, text.find("-->")));
            ++i;
        } else if (StartsWith(line, "```")) {
            block.kind = Kind::kExample;
            while (++i < lines.size() && !StartsWith(lines[i], "```")) {
                block.lines.push_back(lines[i]);
            }
            ++i;
        } else if (Indent(line) >= 4) {
            block.kind = Kind::kExample;
            while (i < lines.size() && (IsBlank(lines[i]) || Indent(lines[i]) >= 4)) {
                block.lines.push_back(IsBlank(lines[i]) ? std::string() : lines[i].substr(4));
                ++i;
            }
            while (!block.lines.empty() && block.lines.back().empty()) {
                block.lines.pop_back();
            }
        } else if (int level = HeadingLevel(line)) {
            block.kind = Kind::kHeading;
            block.level = level;
            block.text = TrimBlank(line.substr(static_cast<std::size_t>(level) + 1));
            ++i;
        } else if (StartsWith(line, "|")) {
            block.kind = Kind::kTable;
            while (i < lines.size() && StartsWith(TrimBlank(lines[i]), "|")) {
                std::vector<std::string> cells = SplitRow(lines[i]);
                if (!IsSeparatorRow(cells)) {
                    block.rows.push_back(cells);
                }
                ++i;
            }
        } else if (StartsWith(line, "- ")) {
            std::string text = line.substr(2);
            while (++i < lines.size() && !IsBlank(lines[i]) && Indent(lines[i]) >= 2) {
                text += " " + TrimBlank(lines[i]);
            }
            block.kind = SplitTerm(text, &block.term, &block.text) ? Kind::kItem : Kind::kBullet;
            if (block.kind == Kind::kBullet) {
                block.text = TrimBlank(text);
            }
        } else {
            block.kind = Kind::kParagraph;
            block.text = TrimBlank(line);
            while (++i < lines.size() && !IsBlank(lines[i]) && !StartsBlock(lines[i]) &&
                   Indent(lines[i]) < 4) {
                block.text += " " + TrimBlank(lines[i]);
            }
        }
        blocks.push_back(block);
    }
    return blocks;
}

std::string RenderText(const std::vector<Block>& blocks, std::size_t width) {
    std::string out;
    Kind previous = Kind::kComment;
    for (const Block& block : blocks) {
        if (block.kind == Kind::kComment) {
            continue;
        }
        const bool listGoesOn =
            (block.kind == Kind::kItem || block.kind == Kind::kBullet) && block.kind == previous;
        if (!out.empty() && !listGoesOn) {
            out += "\n";
        }
        previous = block.kind;
        switch (block.kind) {
            case Kind::kHeading: {
                const std::string text = PlainOf(ParseInline(block.text));
                out += (block.level == 2 ? Upper(text) : text) + "\n";
                break;
            }
            case Kind::kParagraph:
                out += Wrap(PlainOf(ParseInline(block.text)), 0, 0, width) + "\n";
                break;
            case Kind::kItem: {
                const std::string term = PlainOf(ParseInline("`" + block.term + "`"));
                std::string line = std::string(kTermIndent, ' ') + term;
                if (kTermIndent + Columns(term) + 1 < kBodyIndent) {
                    line += std::string(kBodyIndent - kTermIndent - Columns(term), ' ');
                } else {
                    line += "\n" + std::string(kBodyIndent, ' ');
                }
                out += line +
                       Wrap(PlainOf(ParseInline(block.text)), kBodyIndent, kBodyIndent, width) +
                       "\n";
                break;
            }
            case Kind::kBullet:
                out += "  - " + Wrap(PlainOf(ParseInline(block.text)), 4, 4, width) + "\n";
                break;
            case Kind::kExample:
                for (const std::string& line : block.lines) {
                    out += line.empty() ? "\n" : "    " + line + "\n";
                }
                break;
            case Kind::kTable:
                out += TextTable(block, width);
                break;
            case Kind::kComment:
                break;
        }
    }
    return out;
}

std::string RoffSynopsis(const std::string& usage) {
    return RoffSpans(SynopsisSpans(usage));
}

std::string RenderRoff(const std::vector<Block>& blocks, const PageInfo& page) {
    std::string out = ".\\\" Made from the manual's Markdown source; edit that, not this file.\n";
    out += ".TH " + RoffQuoted(Upper(page.name)) + " " + RoffQuoted(page.section) + " " +
           RoffQuoted(page.date) + " " + RoffQuoted(page.source) + " " + RoffQuoted(page.manual) +
           "\n";
    // Option names and paths are typed as they stand: never hyphenated.
    out += ".nh\n";
    Kind previous = Kind::kHeading;
    for (const Block& block : blocks) {
        switch (block.kind) {
            case Kind::kHeading:
                if (block.level == 1) {
                    // "name — what it is" is the NAME line.
                    std::string title = block.text;
                    std::string summary;
                    for (const char* dash : {" \xE2\x80\x94 ", " - "}) {
                        const std::size_t at = title.find(dash);
                        if (at != std::string::npos) {
                            summary = title.substr(at + std::char_traits<char>::length(dash));
                            title = title.substr(0, at);
                            break;
                        }
                    }
                    out += ".SH NAME\n" + RoffEscape(TrimBlank(title), true) + " \\- " +
                           RoffLine(RoffInline(summary)) + "\n";
                } else if (block.level == 2) {
                    out += ".SH " + RoffQuoted(Upper(PlainOf(ParseInline(block.text)))) + "\n";
                } else {
                    out += ".SS " + RoffQuoted(RoffInline(block.text)) + "\n";
                }
                break;
            case Kind::kParagraph:
                if (previous != Kind::kHeading) {
                    out += ".PP\n";
                }
                out += RoffLine(RoffInline(block.text)) + "\n";
                break;
            case Kind::kItem:
                out += ".TP\n" + RoffLine(RoffSpans(SynopsisSpans(block.term))) + "\n" +
                       RoffLine(RoffInline(block.text)) + "\n";
                break;
            case Kind::kBullet:
                out += ".IP \\(bu 2\n" + RoffLine(RoffInline(block.text)) + "\n";
                break;
            case Kind::kExample:
                out += (previous != Kind::kHeading ? ".PP\n" : "") + std::string(".RS 4\n.nf\n");
                for (const std::string& line : block.lines) {
                    out += RoffLine(RoffEscape(line, true)) + "\n";
                }
                out += ".fi\n.RE\n";
                break;
            case Kind::kTable:
                if (previous != Kind::kHeading) {
                    out += ".PP\n";
                }
                out += RoffTable(block);
                break;
            case Kind::kComment:
                continue;
        }
        previous = block.kind;
    }
    return out;
}

}  // namespace cli::manual
