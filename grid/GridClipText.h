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

#include <algorithm>
#include <cstdint>
#include <cstring>
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

// The copy text as it is written: a buffer that keeps room for one more short piece ahead,
// so that a piece of up to 16 bytes is moved as one 16-byte block (a cell's short text is)
// and the counting of what is written stays apart from the moving. A million cells are
// copied at once; a call per piece would cost more than the bytes themselves.
class CopyTextBuffer {
public:
    static constexpr size_t kBlock = 16;

    explicit CopyTextBuffer(size_t estimate) : m_bytes(estimate + kBlock, '\0') {}

    void Push(char c) {
        Reserve(1);
        m_bytes[m_size++] = c;
    }
    void Append(const char* bytes, size_t size) {
        Reserve(size);
        if (size) std::memcpy(&m_bytes[m_size], bytes, size);
        m_size += size;
    }
    void Append(std::string_view text) { Append(text.data(), text.size()); }
    // `size` (at most kBlock) bytes from `bytes`, which may be read kBlock bytes far.
    void AppendFromBlock(const char* bytes, size_t size) {
        Reserve(kBlock);
        std::memcpy(&m_bytes[m_size], bytes, kBlock);
        m_size += size;
    }
    size_t Size() const { return m_size; }
    const char* Data() const { return m_bytes.data(); }
    // The text written, the buffer given up.
    std::string Take() {
        m_bytes.resize(m_size);
        m_size = 0;
        return std::move(m_bytes);
    }

private:
    void Reserve(size_t more) {
        if (m_bytes.size() - m_size < more) m_bytes.resize(std::max(m_bytes.size() * 2, m_size + more + kBlock));
    }

    std::string m_bytes;  // written up to m_size; what follows is room
    size_t m_size = 0;
};

// One row's line of the copy text: its fields, then "\n" unless it is the range's last row.
template <class AppendCell>
void AppendCopyLine(int32_t row, int32_t lastRow, const std::vector<int32_t>& cols, int32_t lastCol,
                    AppendCell& appendCell, CopyTextBuffer& out) {
    for (int32_t col : cols) {
        appendCell(row, col, out);
        if (col != lastCol) out.Push('\t');
    }
    if (row != lastRow) out.Push('\n');
}

// Room for a copy text of cells of up to 11 bytes without regrowing (a regrowth copies all
// written so far); longer texts grow the buffer as usual.
inline size_t CopyTextEstimate(size_t rows, size_t cols) { return rows * (cols * 12 + 1) + 1; }

// The copy text of a range. `rows` and `cols` are the shown rows and columns of the range in
// ascending order; `lastRow` and `lastCol` the range's last row and column, shown or not.
// `appendCell(row, col, out)` appends the text of a selected cell to `out` and nothing for
// an unselected one. The result ends in one zero byte.
template <class AppendCell>
std::string BuildCopyText(const std::vector<int32_t>& rows, int32_t lastRow, const std::vector<int32_t>& cols,
                          int32_t lastCol, AppendCell appendCell) {
    CopyTextBuffer out(CopyTextEstimate(rows.size(), cols.size()));
    for (int32_t row : rows) AppendCopyLine(row, lastRow, cols, lastCol, appendCell, out);
    out.Push('\0');
    return out.Take();
}

// The same text, its rows' cells read in the order `visit` gives (indexes into `rows`, each
// once): a table whose rows lie in memory in another order than their own is read in memory
// order. The lines are written in that order first, then each is copied to its place: read
// in turn and written where it belongs, which costs far less than reading them scattered.
template <class AppendCell>
std::string BuildCopyTextVisiting(const std::vector<int32_t>& rows, int32_t lastRow, const std::vector<int32_t>& cols,
                                  int32_t lastCol, const std::vector<size_t>& visit, AppendCell appendCell) {
    CopyTextBuffer lines(CopyTextEstimate(rows.size(), cols.size()));  // in the order they were read
    std::vector<size_t> places(rows.size());  // row i's line: its length, then its place in the text
    for (size_t i : visit) {
        const size_t start = lines.Size();
        AppendCopyLine(rows[i], lastRow, cols, lastCol, appendCell, lines);
        places[i] = lines.Size() - start;
    }
    size_t at = 0;
    for (size_t& place : places) {
        const size_t length = place;
        place = at;
        at += length;
    }
    std::string out(lines.Size() + 1, '\0');
    size_t from = 0;
    for (size_t k = 0; k < visit.size(); ++k) {
        const size_t i = visit[k];
        const size_t end = i + 1 < places.size() ? places[i + 1] : lines.Size();
        std::memcpy(&out[places[i]], lines.Data() + from, end - places[i]);
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
