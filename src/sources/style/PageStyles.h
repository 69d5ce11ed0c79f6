#pragma once

#include "sources/style/AncestorFilter.h"
#include "sources/style/CssDeclarations.h"
#include "sources/style/CssSelector.h"
#include "sources/style/ElementNames.h"
#include "sources/style/ElementSlots.h"
#include "sources/style/SelectorMatch.h"

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct GumboInternalNode;

namespace vt {

// The style rules of a page's own <style> elements, read once per document,
// bucketed by the id, class or tag of each selector's subject so an element
// is tested only against the rules that could match it. The cascaded values
// of an element are worked out when first asked for and kept; one object
// serves any number of renderings of the document or of parts of it, on one
// thread at a time.
class PageStyles {
  public:
    // Reads the style elements of the document that `node` belongs to.
    explicit PageStyles(const GumboInternalNode* node);
    // No style rules at all.
    PageStyles() = default;

    // What the style sheets declare for the element, each property's value
    // chosen by importance, specificity and order; null when they declare
    // nothing for it.
    const css::Declarations* declaredFor(const GumboInternalNode* element) const;
    // The same for the element's first line or first letter (not cached: a
    // walk asks once per block).
    css::Declarations declaredFor(const GumboInternalNode* element,
                                  css::PseudoElement pseudo) const;
    // Whether any rule could give the pseudo-element something: ::before and
    // ::after need a rule giving them content.
    bool hasRulesFor(css::PseudoElement pseudo) const {
        const auto k = static_cast<std::size_t>(pseudo) - 1;
        return !m_pseudoRules[k].empty() &&
               (pseudo == css::PseudoElement::FirstLine ||
                pseudo == css::PseudoElement::FirstLetter || m_givesContent[k]);
    }
    bool hasPseudoElementRules() const {
        return hasRulesFor(css::PseudoElement::FirstLine) ||
               hasRulesFor(css::PseudoElement::FirstLetter);
    }
    bool hasGeneratedContentRules() const {
        return hasRulesFor(css::PseudoElement::Before) || hasRulesFor(css::PseudoElement::After);
    }

    std::size_t ruleCount() const { return m_selectors.size(); }

    // Adds the rules of one style sheet text, after those already read.
    void addStyleSheet(std::string_view css);

  private:
    // What is needed to decide whether a rule is worth matching, kept in
    // its bucket and apart from its selector so the buckets are walked
    // through compact memory.
    struct Rule {
        // Names some ancestor must have (see AncestorFilter, which needs no
        // more than the low bits of their hashes); a few suffice.
        std::array<std::uint32_t, 4> ancestorNames{};
        css::NameBits subjectNames;     // what the subject requires of its element
        std::uint32_t selector = 0;     // index into m_selectors
        std::uint32_t declarations = 0; // index into m_blocks
        std::uint32_t order = 0;
        std::uint32_t specificity = 0;
        std::uint8_t ancestorNameCount = 0;
        std::uint8_t present = 0; // of the block's properties, as in css::Declarations
        std::uint8_t important = 0;
        // The selector is the name of its bucket alone: finding the rule matches.
        bool bucketOnly = false;
        css::PseudoElement pseudo = css::PseudoElement::None;
    };

    struct StringHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const {
            return std::hash<std::string_view>()(s);
        }
    };
    using Bucket = std::vector<Rule>;
    using Buckets = std::unordered_map<std::string, Bucket, StringHash, std::equal_to<>>;

    // Rules bucketed by the id, else a class, else the tag of their subject.
    struct RuleSet {
        Buckets byId;
        Buckets byClass;
        Buckets byTag;
        Bucket universal;
        // The bucket of each tag gumbo knows, by its number; null for none.
        std::vector<const Bucket*> byKnownTag;
        bool empty() const {
            return byId.empty() && byClass.empty() && byTag.empty() && universal.empty();
        }
    };

    void addRule(css::ComplexSelector selector, std::uint32_t block, std::uint32_t order);
    struct Candidates {
        const GumboInternalNode* element;
        css::NameBits names;                  // of the element
        const css::AncestorFilter* ancestors; // null until needed
        css::PseudoElement pseudo;
        bool matchedAny; // some rule has matched: a later one may lose everywhere
    };
    void collect(const Bucket* bucket, Candidates& candidates, css::Declarations& result,
                 std::uint64_t (&best)[css::PropertyCount]) const;
    const css::AncestorFilter& ancestorFilterOf(const GumboInternalNode* element) const;
    css::Declarations cascade(const GumboInternalNode* element, const RuleSet& rules,
                              css::PseudoElement pseudo) const;

    std::vector<css::Declarations> m_blocks;
    std::vector<css::ComplexSelector> m_selectors; // of each rule
    RuleSet m_elementRules;
    RuleSet m_pseudoRules[4];    // by pseudo-element, from ::first-line on
    bool m_givesContent[4] = {}; // some rule of the set declares content
    std::uint32_t m_order = 0;

    mutable css::SelectorMatcher m_matcher;
    // Of each element asked about, 1 when the sheets declare nothing for it,
    // else 2 + its place in m_declared (a deque: what declaredFor returned stays).
    mutable css::ElementSlots m_cache;
    mutable std::deque<css::Declarations> m_declared;
    // Of each element whose children were asked about, 1 + the place in
    // m_filterList of the filter of its names and its ancestors'; the last
    // one found is kept at hand.
    mutable css::ElementSlots m_filters;
    mutable std::deque<css::AncestorFilter> m_filterList;
    mutable std::vector<const GumboInternalNode*> m_chain; // scratch of ancestorFilterOf
    mutable const GumboInternalNode* m_lastParent = nullptr;
    mutable const css::AncestorFilter* m_lastFilter = nullptr;
};

} // namespace vt
