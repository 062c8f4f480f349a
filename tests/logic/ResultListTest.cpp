#include "app/ResultList.h"

#include <gtest/gtest.h>

using Pieces = std::vector<std::string>;

TEST(ResultList, SplitsAtEveryCrLfAndKeepsLoneCarriageReturns) {
    struct Case {
        std::string text;
        Pieces pieces;
    } cases[] = {
        {"A\r\n\r\nB", {"A", "", "B"}},
        {"A\r\n", {"A"}},
        {"", {}},
        {"A\rB", {"A\rB"}},
        {"\r\n", {""}},
        {"\r\n\r\n", {"", ""}},
        {"A\r", {"A\r"}},
        {"A\n\r\nB", {"A\n", "B"}},
        {"\r\r\n", {"\r"}},
    };
    for (const Case& c : cases) EXPECT_EQ(SplitListPieces(c.text), c.pieces) << "text: " << c.text;
}

TEST(ResultList, LongPiecesStayWhole) {
    const std::string longLine(5000, 'x');
    Pieces pieces = SplitListPieces(longLine + "\r\n" + std::string(3, 'y'));
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[0], longLine);
    EXPECT_EQ(pieces[1], "yyy");
    // More than ten pieces are all kept.
    std::string many;
    for (int i = 0; i < 25; ++i) many += std::to_string(i) + "\r\n";
    EXPECT_EQ(SplitListPieces(many).size(), 25u);
}
