#pragma once

#include "sources/style/CssSelector.h"

#include <string_view>
#include <unordered_map>

struct GumboInternalNode;

namespace vt::css {

// Matches selectors against the elements of one parsed document, right to
// left as browsers do. Keeps the positions of siblings it has counted, so
// :nth-child() and :nth-of-type() over long lists stay linear.
class SelectorMatcher {
  public:
    bool matches(const ComplexSelector& selector, const GumboInternalNode* element);
    bool matchesCompound(const Compound& compound, const GumboInternalNode* element);

    // The element's class attribute tokens are read from its attribute text.
    static std::string_view attributeValue(const GumboInternalNode* element, const char* name);

  private:
    enum class Result { Matches, FailsHere, FailsAllSiblings, FailsCompletely };
    Result matchFrom(const ComplexSelector& selector, std::size_t index,
                     const GumboInternalNode* element);
    bool matchesPseudoClass(const PseudoClass& pseudo, const GumboInternalNode* element);
    // Position among the element siblings, from the start and from the end (1-based).
    struct Position {
        int fromStart = 0;
        int fromEnd = 0;
    };
    Position positionOf(const GumboInternalNode* element);
    // The same among the siblings of the element's own type.
    Position typePositionOf(const GumboInternalNode* element);

    std::unordered_map<const GumboInternalNode*, Position> m_positions;
    std::unordered_map<const GumboInternalNode*, Position> m_typePositions;
};

} // namespace vt::css
