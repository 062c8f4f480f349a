#include "grid/cells/LinkText.h"

#include <algorithm>

#include "framework/GbkText.h"

namespace linktext {

namespace {

// Extensions of files the shell runs rather than opens: programs, installers, scripts and
// their hosts, shortcuts, control panel items, registry files, compiled help (it runs
// script).
constexpr const char* PROGRAM_EXTENSIONS[] = {
    "exe", "com", "bat", "cmd", "pif", "scr", "cpl", "msi", "msp", "mst", "msc", "jar", "js",  "jse",
    "vbs", "vbe", "vb",  "wsf", "wsh", "ws",  "wsc", "sct", "ps1", "psm1", "psd1", "hta", "lnk", "url",
    "reg", "inf", "scf", "shb", "shs", "chm", "hlp", "application", "appref-ms", "gadget", "appx", "msix"};

// Schemes whose handlers show a page, a mail form or a terminal: never a local program.
constexpr const char* NETWORK_SCHEMES[] = {"http:", "https:", "mailto:", "ftp:", "news:", "gopher:", "telnet:"};

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

// A scheme in front ("name:" with a name of two or more letters, digits, '+', '-' or '.',
// starting with a letter); a drive letter ("C:") is none.
bool HasScheme(std::string_view lower) {
    size_t i = 0;
    while (i < lower.size() && ((lower[i] >= 'a' && lower[i] <= 'z') ||
                                (i > 0 && ((lower[i] >= '0' && lower[i] <= '9') || lower[i] == '+' ||
                                           lower[i] == '-' || lower[i] == '.'))))
        ++i;
    return i >= 2 && i < lower.size() && lower[i] == ':';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "%xx" escapes decoded to their bytes; a '%' not followed by two hex digits stays.
std::string PercentDecoded(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// The start of the last character of `text` that is one of `chars` (+1), stepping whole GBK
// characters so that a trail byte never counts; 0 when there is none.
size_t AfterLast(std::string_view text, std::string_view chars) {
    size_t after = 0;
    for (size_t i = 0; i < text.size(); i += gbk::CharLength(text, i))
        if (chars.find(text[i]) != std::string_view::npos && gbk::CharLength(text, i) == 1) after = i + 1;
    return after;
}

}  // namespace

bool HoldsLink(std::string_view text) {
    return std::any_of(std::begin(LINK_MARKERS), std::end(LINK_MARKERS),
                       [text](const char* marker) { return text.find(marker) != std::string_view::npos; });
}

int CharIndexAt(const TextPlacement& p, int x) {
    if (p.textLength == 0 || p.textWidth <= 0) return -1;
    const int w = p.textWidth, middle = (p.cellLeft + p.cellRight) / 2;
    const bool over = (p.alignRight && x >= p.cellRight - w) ||
                      (p.alignCentre && middle - w / 2 <= x && x <= middle + w / 2) || x <= p.cellLeft + w;
    if (!over) return -1;
    const double byteWidth = static_cast<double>(w) / static_cast<double>(p.textLength);
    int offset = x - p.cellLeft;
    if (p.alignRight) {
        offset -= p.cellRight - p.cellLeft - w;
        if (offset <= 0) return -1;
    }
    if (p.alignCentre) {
        const int indent = (p.cellRight - p.cellLeft - w) / 2;
        offset -= indent;
        if (offset <= 0 || offset > indent + w) return -1;
    }
    if (offset < 0) return -1;
    return static_cast<int>(offset / byteWidth);
}

std::string WordAt(const std::string& text, size_t index) {
    std::string word = text.substr(0, text.find(' ', std::min(index, text.size())));
    const size_t space = word.rfind(' ');
    return space == std::string::npos ? word : word.substr(space + 1);
}

bool NamesProgram(std::string_view path) {
    std::string_view name = path.substr(AfterLast(path, "\\/:"));
    // The file system drops trailing dots and spaces: "run.exe. " is run.exe.
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.remove_suffix(1);
    if (name.empty()) {
        // A folder ("C:\docs\") opens in a window; nothing at all is no document.
        const size_t end = path.find_last_not_of(". ");
        return end == std::string_view::npos || (path[end] != '\\' && path[end] != '/');
    }
    const size_t dot = AfterLast(name, ".");
    if (dot == 0) return true;  // no extension: the shell would look for a program
    const std::string extension = Lower(name.substr(dot));
    return std::any_of(std::begin(PROGRAM_EXTENSIONS), std::end(PROGRAM_EXTENSIONS),
                       [&extension](const char* e) { return extension == e; });
}

std::string TargetToOpen(std::string_view word) {
    if (!HoldsLink(word)) return std::string();
    const std::string lower = Lower(word);
    for (const char* scheme : NETWORK_SCHEMES)
        if (StartsWith(lower, scheme)) return std::string(word);
    if (StartsWith(lower, "www.")) return "http://" + std::string(word);
    if (StartsWith(lower, "ftp.")) return "ftp://" + std::string(word);
    if (StartsWith(lower, "url:")) return TargetToOpen(word.substr(4));

    std::string path;
    if (StartsWith(lower, "file:")) {
        std::string_view rest = word.substr(5);
        while (!rest.empty() && (rest.front() == '/' || rest.front() == '\\')) rest.remove_prefix(1);
        path = PercentDecoded(rest);
    } else if (HasScheme(lower)) {
        return std::string();  // a scheme of its own: its handler may be any program
    } else {
        path = std::string(word);
    }
    // The shell may read a query or fragment as part of the name, or drop it: both must pass.
    const size_t cut = path.find_first_of("?#");
    if (NamesProgram(path) || (cut != std::string::npos && NamesProgram(std::string_view(path).substr(0, cut))))
        return std::string();
    return std::string(word);
}

}  // namespace linktext
