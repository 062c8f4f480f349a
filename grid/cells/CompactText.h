// CCompactText: a cell's GBK text in 16 bytes. Texts up to 15 bytes (most cells' texts)
// live inside the object; longer ones in one heap block of exactly their size. A cell
// holds a million of these, so every byte counts: no capacity, no terminating zero.
// No window in it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class CCompactText {
public:
    static constexpr size_t kInlineBytes = 15;  // the longest text kept inside the object

    CCompactText() noexcept { m_bytes[kTag] = 0; }
    explicit CCompactText(std::string_view text) : CCompactText() { Assign(text); }
    ~CCompactText() { Release(); }
    CCompactText(const CCompactText& other) : CCompactText() { Assign(other.View()); }
    CCompactText& operator=(const CCompactText& other) {
        Assign(other.View());
        return *this;
    }
    CCompactText(CCompactText&& other) noexcept : CCompactText() { Swap(other); }
    CCompactText& operator=(CCompactText&& other) noexcept {
        Swap(other);
        return *this;
    }

    // Replaces the text; `text` may lie inside this object's own. Throws std::bad_alloc
    // (the old text stays) when a long text's block cannot be had.
    void Assign(std::string_view text);
    void Clear() noexcept;
    void Swap(CCompactText& other) noexcept;

    size_t Size() const noexcept { return OnHeap() ? HeapSize() : m_bytes[kTag]; }
    bool Empty() const noexcept { return Size() == 0; }
    // An inline text's bytes lie in the object, which may be read whole (16 bytes from Data())
    // by a loop that moves short texts in fixed blocks.
    const char* Data() const noexcept { return OnHeap() ? HeapData() : reinterpret_cast<const char*>(m_bytes); }
    std::string_view View() const noexcept { return std::string_view(Data(), Size()); }
    std::string Str() const { return std::string(Data(), Size()); }
    // The text has a heap block of its own (it is longer than kInlineBytes).
    bool OnHeap() const noexcept { return m_bytes[kTag] == kHeapTag; }

private:
    static constexpr size_t kTag = 15;             // the byte that says where the text is
    static constexpr unsigned char kHeapTag = 0xFF;  // in the tag byte: on the heap
    static constexpr size_t kSizeAt = 8;           // a heap text's size, after the pointer

    const char* HeapData() const noexcept;
    size_t HeapSize() const noexcept;
    void Release() noexcept;

    // Inside: the bytes from 0, their count in the tag byte. On the heap: the block's
    // address from byte 0, the size (32 bits) from kSizeAt, kHeapTag in the tag byte.
    alignas(void*) unsigned char m_bytes[16];
};

static_assert(sizeof(CCompactText) == 16, "a cell's text takes 16 bytes");
