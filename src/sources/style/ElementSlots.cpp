#include "sources/style/ElementSlots.h"

#include <gumbo.h>

namespace vt::css {

std::uint32_t& ElementSlots::operator[](const GumboNode* element) {
    const GumboNode* parent = element->parent;
    const GumboVector* siblings = nullptr;
    if (parent) {
        siblings = parent->type == GUMBO_NODE_DOCUMENT ? &parent->v.document.children
                                                       : &parent->v.element.children;
    }
    const unsigned index = static_cast<unsigned>(element->index_within_parent);
    if (!siblings || index >= siblings->length || siblings->data[index] != element) {
        return *m_loose.tryEmplace(element).first;
    }
    for (const Recent& recent : m_recent) {
        if (recent.parent == parent) {
            return m_slots[recent.first + index];
        }
    }
    std::uint32_t& block = *m_blocks.tryEmplace(parent).first;
    if (block == 0) {
        block = static_cast<std::uint32_t>(m_slots.size()) + 1;
        m_slots.resize(m_slots.size() + siblings->length);
    }
    m_recent[m_nextRecent] = {parent, block - 1};
    m_nextRecent = (m_nextRecent + 1) % m_recent.size();
    return m_slots[block - 1 + index];
}

} // namespace vt::css
