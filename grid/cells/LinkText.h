// The rules of a link cell's text, with no window: whether a text holds a link, which word
// lies under a point of the drawn text, and what (if anything) a click may hand the shell.
//
// Texts are GBK byte strings; positions and lengths count bytes, so a two-byte character
// counts twice (its drawn width is about twice a Latin letter's too).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace linktext {

// The markers that make a text a link, in the order they are tested (case-sensitive).
constexpr const char* LINK_MARKERS[] = {"www.",    "http:",   "mailto:", "ftp:", "https:", "news:",
                                        "gopher:", "telnet:", "url:",    "file:", "ftp."};

// Whether one of the markers occurs anywhere in `text`.
bool HoldsLink(std::string_view text);

// Where a cell's text is drawn, for finding the character under a point: the cell's left and
// right edges and the text's measured width, in the grid's client pixels, and how the text is
// aligned (the cell's DT_RIGHT and DT_CENTER bits).
struct TextPlacement {
    int cellLeft = 0;
    int cellRight = 0;
    int textWidth = 0;
    size_t textLength = 0;  // bytes
    bool alignRight = false;
    bool alignCentre = false;
};

// The byte index of the character under client x, estimated from the average width of a
// byte of the text; -1 when x is beside the text (or there is none).
int CharIndexAt(const TextPlacement& place, int x);

// The word of `text` around byte `index`: from the space before it (exclusive) to the first
// space at or after it (exclusive). An index past the end gives the last word.
std::string WordAt(const std::string& text, size_t index);

// What a click on `word` may hand the shell, or empty when it opens nothing: the word must
// hold a marker, and a click never starts a program. A web, mail, news or telnet link goes
// as it is; one that starts "www." or "ftp." gets its scheme ("http://", "ftp://") so that
// the shell can never take it for a file of that name; a "url:" prefix is dropped and the
// rest judged again. A "file:" link or a path opens only a document: one whose name has no
// extension (the shell would look for a program of that name) or an extension of a program
// or script is refused, and so is any other scheme (its handler may be a program).
std::string TargetToOpen(std::string_view word);

// Whether the file a path names (backslashes or slashes, "%xx" already decoded) would be run
// rather than opened: no extension, or one of a program, script or shortcut.
bool NamesProgram(std::string_view path);

}  // namespace linktext
