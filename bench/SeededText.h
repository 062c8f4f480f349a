// The benchmark data: short lower-case words from a fixed xorshift32 sequence, so that every
// program that fills a table with it (the benchmarks, GridDemo's --fill seeded, tests) sees
// the same texts. No window in it.
#pragma once

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

private:
    uint32_t m_state = kSeed;  // the generator's state; never 0
};
