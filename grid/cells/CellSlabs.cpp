#include "grid/cells/CellSlabs.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <thread>
#include <vector>

namespace {
constexpr size_t kGrain = 8;  // slot sizes are multiples of this, and slots aligned to it
constexpr size_t kSizes = CCellSlabs::kLargest / kGrain;

// A slab's head; its slots follow.
struct Slab {
    Slab* prev;        // in its size's list of slabs with a free slot
    Slab* next;
    void* freed;       // freed slots, each holding the next one's address
    uint32_t size;     // index of its slot size: (size + 1) * kGrain bytes
    uint32_t used;     // slots holding an object
    uint32_t touched;  // slots handed out from the untouched end so far
    uint32_t slots;    // slots in the slab

    char* Slot(uint32_t i);
};

constexpr size_t kHeadBytes = (sizeof(Slab) + kGrain - 1) / kGrain * kGrain;

char* Slab::Slot(uint32_t i) {
    return reinterpret_cast<char*>(this) + kHeadBytes + static_cast<size_t>(i) * (size + 1) * kGrain;
}

struct Slabs {
    std::atomic_flag busy = ATOMIC_FLAG_INIT;  // held while a thread changes what is below
    Slab* withRoom[kSizes] = {};               // per size: slabs with a free slot
    std::vector<Slab*> byAddress;              // every slab, ordered by address
};

// Made on first use and never destroyed: cells may be freed while the process ends.
Slabs& State() {
    static Slabs* const state = new Slabs;
    return *state;
}

class Lock {
public:
    explicit Lock(Slabs& s) : m_s(s) {
        while (m_s.busy.test_and_set(std::memory_order_acquire)) std::this_thread::yield();
    }
    ~Lock() { m_s.busy.clear(std::memory_order_release); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    Slabs& m_s;  // whose lock is held
};

void Unlink(Slab*& head, Slab* slab) {
    if (slab->prev) slab->prev->next = slab->next;
    if (slab->next) slab->next->prev = slab->prev;
    if (head == slab) head = slab->next;
    slab->prev = slab->next = nullptr;
}

void PushFront(Slab*& head, Slab* slab) {
    slab->prev = nullptr;
    slab->next = head;
    if (head) head->prev = slab;
    head = slab;
}

// A new empty slab for slot size `size`, listed; none when memory ran out.
Slab* NewSlab(Slabs& s, uint32_t size) {
    void* block = std::malloc(CCellSlabs::kSlabBytes);
    if (!block) return nullptr;
    auto* slab = static_cast<Slab*>(block);
    *slab = Slab{nullptr, nullptr, nullptr, size, 0, 0,
                 static_cast<uint32_t>((CCellSlabs::kSlabBytes - kHeadBytes) / ((size + 1) * kGrain))};
    try {
        s.byAddress.insert(std::upper_bound(s.byAddress.begin(), s.byAddress.end(), slab), slab);
    } catch (...) {
        std::free(block);
        return nullptr;
    }
    PushFront(s.withRoom[size], slab);
    return slab;
}

// The slab `object` lies in; none for an object from the ordinary heap.
Slab* SlabOf(const Slabs& s, const void* object) {
    const auto* at = static_cast<const char*>(object);
    auto after = std::upper_bound(s.byAddress.begin(), s.byAddress.end(), at,
                                  [](const char* a, const Slab* slab) { return a < reinterpret_cast<const char*>(slab); });
    if (after == s.byAddress.begin()) return nullptr;
    Slab* slab = *(after - 1);
    return at < reinterpret_cast<const char*>(slab) + CCellSlabs::kSlabBytes ? slab : nullptr;
}
}  // namespace

void* CCellSlabs::TryAllocate(size_t size) noexcept {
    if (size > kLargest) return ::operator new(size, std::nothrow);
    const auto index = static_cast<uint32_t>(size == 0 ? 0 : (size - 1) / kGrain);
    Slabs& s = State();
    Lock lock(s);
    Slab* slab = s.withRoom[index];
    if (!slab && !(slab = NewSlab(s, index))) return nullptr;
    void* object;
    if (slab->freed) {
        object = slab->freed;
        slab->freed = *static_cast<void**>(object);
    } else {
        object = slab->Slot(slab->touched++);
    }
    if (++slab->used == slab->slots) Unlink(s.withRoom[index], slab);
    return object;
}

void* CCellSlabs::Allocate(size_t size) {
    void* object = TryAllocate(size);
    if (!object) throw std::bad_alloc();
    return object;
}

void CCellSlabs::Free(void* object) noexcept {
    if (!object) return;
    Slabs& s = State();
    {
        Lock lock(s);
        if (Slab* slab = SlabOf(s, object)) {
            *static_cast<void**>(object) = slab->freed;
            slab->freed = object;
            if (slab->used-- == slab->slots) PushFront(s.withRoom[slab->size], slab);
            // An empty slab goes unless it is its size's only one with room.
            if (slab->used == 0 && (slab->prev || slab->next)) {
                Unlink(s.withRoom[slab->size], slab);
                s.byAddress.erase(std::lower_bound(s.byAddress.begin(), s.byAddress.end(), slab));
                std::free(slab);
            }
            return;
        }
    }
    ::operator delete(object);
}

size_t CCellSlabs::SlabCount() noexcept {
    Slabs& s = State();
    Lock lock(s);
    return s.byAddress.size();
}
