// How a report text becomes lines of the result list. Pure text handling.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The CR LF-separated pieces of a text, each whole whatever its length: every CR LF ends a
// piece (possibly empty); bytes after the last CR LF form a final piece. An empty text gives
// no pieces, a text ending in CR LF no empty final piece, and a CR without LF stays in its
// piece.
std::vector<std::string> SplitListPieces(std::string_view text);
