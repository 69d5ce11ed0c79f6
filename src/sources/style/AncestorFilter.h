#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace vt::css {

// A Bloom filter of the ids, classes and tag names of an element's
// ancestors. A selector that needs an ancestor with a class the filter has
// certainly not seen cannot match, which rejects most descendant selectors
// without walking up the tree.
class AncestorFilter {
  public:
    void add(std::uint64_t hash) {
        m_bits[(hash & 511) >> 6] |= std::uint64_t(1) << (hash & 63);
        m_bits[((hash >> 9) & 511) >> 6] |= std::uint64_t(1) << ((hash >> 9) & 63);
    }
    bool mayContain(std::uint64_t hash) const {
        return (m_bits[(hash & 511) >> 6] >> (hash & 63) & 1) &&
               (m_bits[((hash >> 9) & 511) >> 6] >> ((hash >> 9) & 63) & 1);
    }

  private:
    std::array<std::uint64_t, 8> m_bits{};
};

enum class NameKind : std::uint8_t { Id, Class, Tag, Attribute };

// The hash of a name of a kind, the same for the selector and the element;
// with foldCase, the same for any ASCII case of it (attribute names).
std::uint64_t nameHash(NameKind kind, std::string_view name, bool foldCase = false);

} // namespace vt::css
