// The grid's plain-text exchange format, with no window: the text a copy writes, the lines
// and fields a paste reads, and which clipboard text format to read.
//
// Copy text: one line per shown row of the copied range, rows separated by "\n" (no CR, none
// after the range's last row), fields separated by "\t" (none after the range's last
// column), an empty field for a cell that is not selected, one zero byte at the end. Rows
// and columns that are hidden (height or width 0) give no line and no field; the separator
// written before a hidden last row or column stays.
//
// Paste text: lines end at "\n" (a CR before it stays in the line and is trimmed off with
// the field); fields end at a tab or a comma; each field is trimmed of white space. A
// separator at the very end of a line adds no field; an empty field between two separators
// is an empty text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cliptext {

// The platform's clipboard format numbers for text (CF_TEXT, CF_UNICODETEXT, CF_LOCALE).
constexpr unsigned FORMAT_TEXT = 1;
constexpr unsigned FORMAT_UNICODETEXT = 13;
constexpr unsigned FORMAT_LOCALE = 16;
// The locale written beside copied text: Chinese (PRC), whose code page is 936.
constexpr uint32_t LOCALE_CHINESE_PRC = 0x0804;

// One row's line of the copy text: its fields, then "\n" unless it is the range's last row.
template <class AppendCell>
void AppendCopyLine(int32_t row, int32_t lastRow, const std::vector<int32_t>& cols, int32_t lastCol,
                    AppendCell& appendCell, std::string& out) {
    for (int32_t col : cols) {
        appendCell(row, col, out);
        if (col != lastCol) out.push_back('\t');
    }
    if (row != lastRow) out.push_back('\n');
}

// Room for a copy text of cells of up to 11 bytes without regrowing (a regrowth copies all
// written so far); longer texts grow the string as usual.
inline size_t CopyTextEstimate(size_t rows, size_t cols) { return rows * (cols * 12 + 1) + 1; }

// The copy text of a range. `rows` and `cols` are the shown rows and columns of the range in
// ascending order; `lastRow` and `lastCol` the range's last row and column, shown or not.
// `appendCell(row, col, out)` appends the text of a selected cell to `out` and nothing for
// an unselected one. The result ends in one zero byte.
template <class AppendCell>
std::string BuildCopyText(const std::vector<int32_t>& rows, int32_t lastRow, const std::vector<int32_t>& cols,
                          int32_t lastCol, AppendCell appendCell) {
    std::string out;
    out.reserve(CopyTextEstimate(rows.size(), cols.size()));
    for (int32_t row : rows) AppendCopyLine(row, lastRow, cols, lastCol, appendCell, out);
    out.push_back('\0');
    return out;
}

// The same text, its rows' cells read in the order `visit` gives (indexes into `rows`, each
// once): a table whose rows lie in memory in another order than their own is read in memory
// order. The lines are written in that order first, then each is copied to its place: read
// in turn and written where it belongs, which costs far less than reading them scattered.
template <class AppendCell>
std::string BuildCopyTextVisiting(const std::vector<int32_t>& rows, int32_t lastRow, const std::vector<int32_t>& cols,
                                  int32_t lastCol, const std::vector<size_t>& visit, AppendCell appendCell) {
    std::string lines;                     // the lines in the order they were read
    std::vector<size_t> places(rows.size());  // row i's line: its length, then its place in the text
    lines.reserve(CopyTextEstimate(rows.size(), cols.size()));
    for (size_t i : visit) {
        const size_t start = lines.size();
        AppendCopyLine(rows[i], lastRow, cols, lastCol, appendCell, lines);
        places[i] = lines.size() - start;
    }
    size_t at = 0;
    for (size_t& place : places) {
        const size_t length = place;
        place = at;
        at += length;
    }
    std::string out(lines.size() + 1, '\0');
    size_t from = 0;
    for (size_t k = 0; k < visit.size(); ++k) {
        const size_t i = visit[k];
        const size_t end = i + 1 < places.size() ? places[i + 1] : lines.size();
        lines.copy(&out[places[i]], end - places[i], from);
        from += end - places[i];
    }
    return out;
}

// Leading and trailing spaces, tabs, CRs, LFs, vertical tabs and form feeds cut off. GBK
// trail bytes are never white space, so a double-byte character is never cut.
std::string_view TrimField(std::string_view field);

// One pasted line: its trimmed fields, views into the pasted text.
using PasteLine = std::vector<std::string_view>;

// The lines and fields of pasted text; the text ends at its first zero byte, if any. A text
// with no "\n" is one line; an empty text is one line with no fields.
std::vector<PasteLine> ParsePasteText(std::string_view text);

// Which text to read from a source offering `formats` in its order.
enum class TextFormat { None, Ansi, Unicode };
// The source's own text format: the first of CF_TEXT and CF_UNICODETEXT in its order (the
// system puts the one it makes from the other after the original).
TextFormat ChooseTextFormat(const std::vector<unsigned>& formats);

// GBK text from a CF_TEXT block: the bytes up to the first zero byte.
std::string TextFromAnsiBlock(std::string_view block);
// GBK text from a CF_UNICODETEXT block (UTF-16 units, as raw bytes): the units up to the
// first zero unit, converted with code page 936; characters GBK lacks become "?".
std::string TextFromUnicodeBlock(std::string_view block);

}  // namespace cliptext
