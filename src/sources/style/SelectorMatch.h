#pragma once

#include "sources/style/CssSelector.h"

#include <functional>
#include <string_view>
#include <unordered_map>
#include <vector>

struct GumboInternalNode;

namespace vt::css {

// Matches selectors against the elements of one parsed document, right to
// left as browsers do. Keeps the positions of siblings it has counted, so
// :nth-child() and :nth-of-type() over long lists stay linear, and what a
// descendant or subsequent-sibling combinator found for an element, so
// "q ~ p" over a long run of siblings (or "q p" down a deep tree) walks each
// run once.
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
    // The outcome of compound `index` of selector being matched by one of the
    // elements next(element), next(next(element))...; a walk that meets an
    // element already walked from takes that walk's outcome.
    template <typename Next, typename Stops>
    Result walk(const ComplexSelector& selector, std::size_t index,
                const GumboInternalNode* element, Result exhausted, Next next, Stops stops);

    struct WalkKey {
        const ComplexSelector* selector;
        std::size_t index;
        const GumboInternalNode* element;
        bool operator==(const WalkKey&) const = default;
    };
    struct WalkKeyHash {
        std::size_t operator()(const WalkKey& key) const {
            return std::hash<const void*>()(key.selector) * 31 + key.index * 17 +
                   std::hash<const void*>()(key.element);
        }
    };

    std::unordered_map<const GumboInternalNode*, Position> m_positions;
    std::unordered_map<const GumboInternalNode*, Position> m_typePositions;
    std::unordered_map<WalkKey, Result, WalkKeyHash> m_walks;
};

} // namespace vt::css
