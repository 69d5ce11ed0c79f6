#pragma once

#include "sources/style/AncestorFilter.h"
#include "sources/style/CssDeclarations.h"
#include "sources/style/CssSelector.h"
#include "sources/style/SelectorMatch.h"

#include <cstdint>
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

    std::size_t ruleCount() const { return m_rules.size(); }

    // Adds the rules of one style sheet text, after those already read.
    void addStyleSheet(std::string_view css);

  private:
    // What is needed to decide whether a rule is worth matching, kept apart
    // from its selector so the buckets are walked through compact memory.
    struct Rule {
        // Names some ancestor must have (see AncestorFilter); a few suffice.
        std::array<std::uint64_t, 4> ancestorNames{};
        std::uint32_t declarations = 0; // index into m_blocks
        std::uint32_t order = 0;
        std::uint32_t specificity = 0;
        std::uint8_t ancestorNameCount = 0;
        css::PseudoElement pseudo = css::PseudoElement::None;
    };

    struct StringHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const {
            return std::hash<std::string_view>()(s);
        }
    };
    using Buckets =
        std::unordered_map<std::string, std::vector<std::uint32_t>, StringHash, std::equal_to<>>;

    // Rules bucketed by the id, else a class, else the tag of their subject.
    struct RuleSet {
        Buckets byId;
        Buckets byClass;
        Buckets byTag;
        std::vector<std::uint32_t> universal;
        bool empty() const {
            return byId.empty() && byClass.empty() && byTag.empty() && universal.empty();
        }
    };

    void addRule(css::ComplexSelector selector, std::uint32_t block, std::uint32_t order);
    struct Candidates {
        const GumboInternalNode* element;
        const css::AncestorFilter* ancestors; // null until needed
        css::PseudoElement pseudo;
    };
    void collect(const std::vector<std::uint32_t>* bucket, Candidates& candidates,
                 css::Declarations& result, std::uint64_t (&best)[css::PropertyCount]) const;
    const css::AncestorFilter& ancestorFilterOf(const GumboInternalNode* element) const;
    css::Declarations cascade(const GumboInternalNode* element, const RuleSet& rules,
                              css::PseudoElement pseudo) const;

    std::vector<css::Declarations> m_blocks;
    std::vector<Rule> m_rules;
    std::vector<css::ComplexSelector> m_selectors; // of each rule
    RuleSet m_elementRules;
    RuleSet m_pseudoRules[4];    // by pseudo-element, from ::first-line on
    bool m_givesContent[4] = {}; // some rule of the set declares content
    std::uint32_t m_order = 0;

    mutable css::SelectorMatcher m_matcher;
    mutable std::unordered_map<const GumboInternalNode*, css::Declarations> m_cache;
    // The filter of the names above each element whose children were asked about.
    mutable std::unordered_map<const GumboInternalNode*, css::AncestorFilter> m_filters;
};

} // namespace vt
