// GBK (code page 936) is the program's text encoding; the platform speaks UTF-16.
// These conversions are the one boundary between the two. This header includes no
// platform header, so code without windows (the field rules, the log's file names)
// can decode GBK too.
#pragma once

#include <string>
#include <string_view>

namespace gbk {

// Decodes GBK bytes to UTF-16. Bytes that are not valid GBK become U+FFFD or the
// code page's default mapping; use TryDecode when invalid input must be detected.
std::wstring ToWide(std::string_view text);

// Decodes strictly: false (and `out` empty) when the bytes are not valid GBK.
bool TryDecode(std::string_view text, std::wstring& out);

// Encodes UTF-16 to GBK; characters GBK lacks become "?".
std::string FromWide(std::wstring_view text);

// Length in bytes of the GBK character that starts at text[i]: 2 for a lead byte
// (0x81-0xFE) that has a byte after it, else 1.
inline size_t CharLength(std::string_view text, size_t i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    return (c >= 0x81 && c <= 0xFE && i + 1 < text.size()) ? 2 : 1;
}

}  // namespace gbk
