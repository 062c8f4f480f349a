// CCellSlabs: where cell objects live. A table makes and frees its cells by the million;
// one heap block each would cost a block header and an allocator call per cell, more than
// the cell's own work. Objects of up to kLargest bytes are instead carved out of slabs of
// kSlabBytes taken from the process heap (so a heap walk still sees every byte), in slots
// of their size rounded up to 8 bytes; a slab goes back to the heap when its last object
// is freed, except one kept per size so that a cell made and freed over and over does not
// take and return a slab each time. Larger objects use the ordinary heap. Safe to call from
// any thread. No window in it.
#pragma once

#include <cstddef>

class CCellSlabs {
public:
    static constexpr size_t kSlabBytes = 32768;  // one slab's heap block
    static constexpr size_t kLargest = 256;      // larger objects go to the ordinary heap

    // Room for an object of `size` bytes, aligned to 8. Throws std::bad_alloc.
    static void* Allocate(size_t size);
    // The same, or none when memory ran out.
    static void* TryAllocate(size_t size) noexcept;
    // Gives back what Allocate or TryAllocate returned; none does nothing.
    static void Free(void* object) noexcept;

    // The slabs held now (for tests and memory figures).
    static size_t SlabCount() noexcept;
};
