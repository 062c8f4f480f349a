// The benchmark data: short lower-case words from a fixed xorshift32 sequence, so that every
// program that fills a table with it (the benchmarks, GridDemo's --fill seeded, tests) sees
// the same texts, and the checksum that shows the same texts went in. No window in it.
//
// A table of this data has its fixed row 0 headed Col0, Col1, ... and the words row by row
// below it; the words are not drawn for the heading row, so N data rows hold the same words
// whether or not a heading row is above them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class CSeededText {
public:
    static constexpr uint32_t kSeed = 0x9E3779B9u;

    // The next number of the sequence (xorshift32: shifts 13, 17, 5).
    uint32_t Next() {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }
    // The next word: a length of 6 to 12 letters, then that many letters 'a' to 'z'.
    std::string Word() {
        std::string word(6 + Next() % 7, ' ');
        for (char& c : word) c = static_cast<char>('a' + Next() % 26);
        return word;
    }
    // The heading of column `col` in the fixed row 0.
    static std::string Heading(int col) { return "Col" + std::to_string(col); }

private:
    uint32_t m_state = kSeed;  // the generator's state; never 0
};

// FNV-1a (32 bits) over a table's texts, each followed by one zero byte, so that empty cells
// count and "ab" "c" differs from "a" "bc".
class CTextChecksum {
public:
    void Add(const char* bytes, size_t size) {
        for (size_t i = 0; i < size; ++i) Mix(static_cast<unsigned char>(bytes[i]));
        Mix(0);
    }
    void Add(const std::string& text) { Add(text.data(), text.size()); }
    uint32_t Value() const { return m_hash; }

private:
    void Mix(unsigned char byte) {
        m_hash ^= byte;
        m_hash *= 16777619u;
    }
    uint32_t m_hash = 2166136261u;  // the offset basis until the first byte
};
