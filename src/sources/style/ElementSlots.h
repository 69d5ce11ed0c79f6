#pragma once

#include "sources/style/NodeMap.h"

#include <array>
#include <cstdint>
#include <vector>

struct GumboInternalNode;

namespace vt::css {

// A number per element of a parsed document, 0 until set. The slots of an
// element's siblings lie together, in the order of their parent's children,
// so a walk through the document goes through memory in order; the parents
// last looked up are kept at hand. A reference to a slot stays valid until
// the next lookup.
class ElementSlots {
  public:
    std::uint32_t& operator[](const GumboInternalNode* element);

  private:
    struct Recent {
        const GumboInternalNode* parent = nullptr;
        std::uint32_t first = 0; // of its children's slots in m_slots
    };

    NodeMap<std::uint32_t> m_blocks; // 1 + the first slot of a parent's children
    NodeMap<std::uint32_t> m_loose;  // elements not found among their parent's children
    std::vector<std::uint32_t> m_slots;
    std::array<Recent, 8> m_recent{};
    std::size_t m_nextRecent = 0;
};

} // namespace vt::css
