#include "app/ResultList.h"

std::vector<std::string> SplitListPieces(std::string_view text) {
    std::vector<std::string> pieces;
    size_t start = 0;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '\r' && text[i + 1] == '\n') {
            pieces.emplace_back(text.substr(start, i - start));
            start = i + 2;
            ++i;
        }
    }
    if (start < text.size()) pieces.emplace_back(text.substr(start));
    return pieces;
}
