#pragma once

#include <cstdint>
#include <utility>
#include <vector>

namespace vt::css {

// A hash map from the nodes of a parsed document to small values, in one flat
// array: a page asks about every element once, and a map with a node per
// entry spends more on allocating and freeing than on the lookups. A pointer
// to a value stays valid until the next insertion.
template <typename T> class NodeMap {
  public:
    const T* find(const void* key) const {
        if (m_slots.empty()) {
            return nullptr;
        }
        for (std::size_t i = home(key);; i = (i + 1) & (m_slots.size() - 1)) {
            const Slot& slot = m_slots[i];
            if (slot.key == key) {
                return &slot.value;
            }
            if (!slot.key) {
                return nullptr;
            }
        }
    }

    // The value for key, value-initialized when it is new; true when new.
    std::pair<T*, bool> tryEmplace(const void* key) {
        if ((m_size + 1) * 4 > m_slots.size() * 3) {
            rehash(m_slots.empty() ? 16 : m_slots.size() * 2);
        }
        for (std::size_t i = home(key);; i = (i + 1) & (m_slots.size() - 1)) {
            Slot& slot = m_slots[i];
            if (slot.key == key) {
                return {&slot.value, false};
            }
            if (!slot.key) {
                slot.key = key;
                ++m_size;
                return {&slot.value, true};
            }
        }
    }

  private:
    struct Slot {
        const void* key = nullptr;
        T value{};
    };

    std::size_t home(const void* key) const {
        // Nodes are allocated apart, mostly in document order, and asked
        // about in that order: nodes near each other in memory get slots near
        // each other, each stretch of memory of the table's size at an offset
        // of its own, so a walk through the page goes through the table.
        const auto unit = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(key)) >> 4;
        const std::uint64_t offset = (unit >> m_bits) * 0x9E3779B97F4A7C15ull;
        return static_cast<std::size_t>((unit + (offset >> 32)) & (m_slots.size() - 1));
    }

    void rehash(std::size_t capacity) {
        std::vector<Slot> old(capacity);
        old.swap(m_slots);
        m_bits = 0;
        for (std::size_t c = capacity; c > 1; c /= 2) {
            ++m_bits;
        }
        for (Slot& slot : old) {
            if (slot.key) {
                std::size_t i = home(slot.key);
                while (m_slots[i].key) {
                    i = (i + 1) & (capacity - 1);
                }
                m_slots[i] = std::move(slot);
            }
        }
    }

    std::vector<Slot> m_slots; // a power of two of them
    std::size_t m_size = 0;
    int m_bits = 0;
};

} // namespace vt::css
