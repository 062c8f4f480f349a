#include "grid/GridClipText.h"

#include <cstring>

#include "framework/GbkText.h"

namespace cliptext {
namespace {
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string_view UpToZero(std::string_view text) {
    const size_t end = text.find('\0');
    return end == std::string_view::npos ? text : text.substr(0, end);
}
}  // namespace

std::string_view TrimField(std::string_view field) {
    size_t begin = 0, end = field.size();
    while (begin < end && IsSpace(field[begin])) ++begin;
    while (end > begin && IsSpace(field[end - 1])) --end;
    return field.substr(begin, end - begin);
}

std::vector<PasteLine> ParsePasteText(std::string_view text) {
    text = UpToZero(text);
    std::vector<PasteLine> lines;
    for (;;) {
        const size_t lineEnd = text.find('\n');
        std::string_view rest = text.substr(0, lineEnd);
        PasteLine fields;
        while (!rest.empty()) {
            const size_t fieldEnd = rest.find_first_of("\t,");
            fields.push_back(TrimField(rest.substr(0, fieldEnd)));
            rest = fieldEnd == std::string_view::npos ? std::string_view() : rest.substr(fieldEnd + 1);
        }
        lines.push_back(std::move(fields));
        if (lineEnd == std::string_view::npos) break;
        text = text.substr(lineEnd + 1);
    }
    return lines;
}

TextFormat ChooseTextFormat(const std::vector<unsigned>& formats) {
    for (unsigned f : formats) {
        if (f == FORMAT_TEXT) return TextFormat::Ansi;
        if (f == FORMAT_UNICODETEXT) return TextFormat::Unicode;
    }
    return TextFormat::None;
}

std::string TextFromAnsiBlock(std::string_view block) { return std::string(UpToZero(block)); }

std::string TextFromUnicodeBlock(std::string_view block) {
    std::wstring wide(block.size() / 2, L'\0');
    if (!wide.empty()) std::memcpy(&wide[0], block.data(), wide.size() * 2);
    const size_t end = wide.find(L'\0');
    if (end != std::wstring::npos) wide.resize(end);
    return gbk::FromWide(wide);
}

}  // namespace cliptext
