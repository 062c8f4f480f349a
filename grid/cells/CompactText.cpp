#include "grid/cells/CompactText.h"

#include <cstring>
#include <new>
#include <stdexcept>

static_assert(sizeof(char*) <= 8, "a heap text's address fits before its size");

const char* CCompactText::HeapData() const noexcept {
    const char* data;
    std::memcpy(&data, m_bytes, sizeof(data));
    return data;
}

size_t CCompactText::HeapSize() const noexcept {
    uint32_t size;
    std::memcpy(&size, m_bytes + kSizeAt, sizeof(size));
    return size;
}

void CCompactText::Release() noexcept {
    if (OnHeap()) delete[] HeapData();
    m_bytes[kTag] = 0;
}

void CCompactText::Assign(std::string_view text) {
    if (text.size() <= kInlineBytes) {
        // Copied out first: `text` may be this object's own heap block.
        unsigned char bytes[kInlineBytes];
        if (!text.empty()) std::memcpy(bytes, text.data(), text.size());
        Release();
        if (!text.empty()) std::memcpy(m_bytes, bytes, text.size());
        m_bytes[kTag] = static_cast<unsigned char>(text.size());
        return;
    }
    if (text.size() > UINT32_MAX) throw std::length_error("cell text");
    char* block = new char[text.size()];
    std::memcpy(block, text.data(), text.size());
    const uint32_t size = static_cast<uint32_t>(text.size());
    Release();
    std::memcpy(m_bytes, &block, sizeof(block));
    std::memcpy(m_bytes + kSizeAt, &size, sizeof(size));
    m_bytes[kTag] = kHeapTag;
}

void CCompactText::Clear() noexcept { Release(); }

void CCompactText::Swap(CCompactText& other) noexcept {
    unsigned char bytes[sizeof(m_bytes)];
    std::memcpy(bytes, m_bytes, sizeof(bytes));
    std::memcpy(m_bytes, other.m_bytes, sizeof(bytes));
    std::memcpy(other.m_bytes, bytes, sizeof(bytes));
}
