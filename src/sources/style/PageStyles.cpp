#include "sources/style/PageStyles.h"

#include "sources/html/RenderStop.h"
#include "sources/style/CssText.h"
#include "sources/style/ElementNames.h"
#include "sources/style/ElementStyle.h"
#include "sources/style/MediaQuery.h"
#include "sources/style/StyleSheetScanner.h"

#include <gumbo.h>

namespace vt {

namespace {

bool isElement(const GumboNode* node) {
    return node->type == GUMBO_NODE_ELEMENT || node->type == GUMBO_NODE_TEMPLATE;
}

// A style element whose sheet applies: CSS by its type, for this screen by
// its media attribute.
bool isAppliedStyleElement(const GumboNode* node) {
    if (node->type != GUMBO_NODE_ELEMENT || node->v.element.tag != GUMBO_TAG_STYLE) {
        return false;
    }
    const GumboVector* attributes = &node->v.element.attributes;
    if (const GumboAttribute* type = gumbo_get_attribute(attributes, "type")) {
        const std::string_view value = ascii::trimmed(type->value);
        if (!value.empty() && !ascii::equalsNoCase(value, "text/css")) {
            return false;
        }
    }
    const GumboAttribute* media = gumbo_get_attribute(attributes, "media");
    return !media || css::mediaMatches(media->value);
}

std::string textOf(const GumboNode* style) {
    std::string text;
    const GumboVector& children = style->v.element.children;
    for (unsigned i = 0; i < children.length; ++i) {
        const auto* child = static_cast<const GumboNode*>(children.data[i]);
        if (child->type == GUMBO_NODE_TEXT || child->type == GUMBO_NODE_WHITESPACE ||
            child->type == GUMBO_NODE_CDATA) {
            text += child->v.text.text;
        }
    }
    return text;
}

const GumboVector* childrenOf(const GumboNode* node) {
    if (node->type == GUMBO_NODE_DOCUMENT) {
        return &node->v.document.children;
    }
    // Style elements in templates are inert.
    return node->type == GUMBO_NODE_ELEMENT ? &node->v.element.children : nullptr;
}

} // namespace

PageStyles::PageStyles(const GumboNode* node) {
    while (node && node->parent) {
        node = node->parent;
    }
    if (!node) {
        return;
    }
    // Document order, with a stack of our own: documents may nest deeply.
    struct Position {
        const GumboNode* node;
        unsigned next;
    };
    std::vector<Position> stack{{node, 0}};
    while (!stack.empty()) {
        Position& top = stack.back();
        const GumboVector* children = childrenOf(top.node);
        if (!children || top.next >= children->length) {
            stack.pop_back();
            continue;
        }
        const auto* child = static_cast<const GumboNode*>(children->data[top.next++]);
        if (!isElement(child)) {
            continue;
        }
        if (isAppliedStyleElement(child)) {
            addStyleSheet(textOf(child));
        } else {
            stack.push_back({child, 0});
        }
    }
}

void PageStyles::addStyleSheet(std::string_view sheet) {
    css::forEachStyleRule(sheet, [this](std::string_view prelude, std::string_view block) {
        const std::uint32_t order = m_order++;
        css::Declarations declarations = css::parseDeclarations(block);
        if (declarations.empty()) {
            return; // nothing the text depends on: the selector is not even read
        }
        std::vector<css::ComplexSelector> selectors;
        if (!css::parseSelectorList(prelude, selectors) || selectors.empty()) {
            return;
        }
        const auto blockIndex = static_cast<std::uint32_t>(m_blocks.size());
        m_blocks.push_back(declarations);
        for (css::ComplexSelector& selector : selectors) {
            addRule(std::move(selector), blockIndex, order);
        }
    });
}

void PageStyles::addRule(css::ComplexSelector selector, std::uint32_t block, std::uint32_t order) {
    const css::Compound& subject = selector.compounds.front();
    // Of a first line or letter only the casing counts, of generated content
    // whether it shows and how; an element's content means nothing.
    const css::Declarations& declarations = m_blocks[block];
    switch (selector.pseudoElement) {
    case css::PseudoElement::None:
        if (declarations.present == css::Declarations::bit(css::Property::Content)) {
            return;
        }
        break;
    case css::PseudoElement::FirstLine:
    case css::PseudoElement::FirstLetter:
        if (!declarations.has(css::Property::TextTransform)) {
            return;
        }
        break;
    case css::PseudoElement::Before:
    case css::PseudoElement::After:
        if (!declarations.has(css::Property::Content) &&
            !declarations.has(css::Property::Display)) {
            return;
        }
        break;
    }
    const auto pseudo = static_cast<std::size_t>(selector.pseudoElement);
    RuleSet& set = pseudo == 0 ? m_elementRules : m_pseudoRules[pseudo - 1];
    if (pseudo > 0 && declarations.has(css::Property::Content)) {
        m_givesContent[pseudo - 1] = true;
    }
    Rule rule;
    rule.selector = static_cast<std::uint32_t>(m_selectors.size());
    rule.pseudo = selector.pseudoElement;
    rule.declarations = block;
    rule.order = order;
    rule.specificity = selector.specificity;
    rule.present = declarations.present;
    rule.important = declarations.important;
    rule.subjectNames = css::requiredNameBits(subject);
    rule.bucketOnly =
        selector.compounds.size() == 1 && subject.attributes.empty() &&
        subject.pseudoClasses.empty() &&
        (subject.tag.empty() ? 0 : 1) + (subject.id.empty() ? 0 : 1) + subject.classes.size() <= 1;
    // A compound to the left of a descendant or child combinator is an
    // ancestor of the subject.
    const std::vector<css::Compound>& compounds = selector.compounds;
    const auto need = [&rule](css::NameKind kind, std::string_view name) {
        if (rule.ancestorNameCount < rule.ancestorNames.size()) {
            rule.ancestorNames[rule.ancestorNameCount++] =
                static_cast<std::uint32_t>(css::nameHash(kind, name));
        }
    };
    for (std::size_t i = 0; i + 1 < compounds.size(); ++i) {
        if (compounds[i].combinator != css::Combinator::Descendant &&
            compounds[i].combinator != css::Combinator::Child) {
            continue;
        }
        const css::Compound& ancestor = compounds[i + 1];
        if (!ancestor.id.empty()) {
            need(css::NameKind::Id, ancestor.id);
        }
        for (const std::string& name : ancestor.classes) {
            need(css::NameKind::Class, name);
        }
        if (!ancestor.tag.empty()) {
            need(css::NameKind::Tag, ancestor.tag);
        }
    }
    if (!subject.id.empty()) {
        set.byId[subject.id].push_back(rule);
    } else if (!subject.classes.empty()) {
        set.byClass[subject.classes.front()].push_back(rule);
    } else if (!subject.tag.empty()) {
        Bucket& bucket = set.byTag[subject.tag];
        bucket.push_back(rule);
        // An element of a tag gumbo knows is named by the tag's normalized name.
        const GumboTag tag =
            gumbo_tagn_enum(subject.tag.data(), static_cast<unsigned>(subject.tag.size()));
        if (tag != GUMBO_TAG_UNKNOWN && subject.tag == gumbo_normalized_tagname(tag)) {
            if (set.byKnownTag.empty()) {
                set.byKnownTag.assign(GUMBO_TAG_UNKNOWN, nullptr);
            }
            set.byKnownTag[tag] = &bucket;
        }
    } else {
        set.universal.push_back(rule);
    }
    m_selectors.push_back(std::move(selector));
}

namespace {

void addNames(const GumboNode* element, css::AncestorFilter& filter) {
    filter.add(css::tagHash(element));
    const css::ElementNames names = css::namesOf(element);
    if (!names.id.empty()) {
        filter.add(css::nameHash(css::NameKind::Id, names.id));
    }
    ascii::forEachToken(names.classes, [&filter](std::string_view name) {
        filter.add(css::nameHash(css::NameKind::Class, name));
    });
}

} // namespace

const css::AncestorFilter& PageStyles::ancestorFilterOf(const GumboNode* element) const {
    // The filter above an element is its parent's filter plus the parent's
    // names; each is built once, from the nearest ancestor that has one.
    static const css::AncestorFilter Empty;
    const GumboNode* parent = element->parent;
    if (!parent || parent->type != GUMBO_NODE_ELEMENT) {
        return Empty;
    }
    // Siblings come one after another.
    if (parent == m_lastParent) {
        return *m_lastFilter;
    }
    std::vector<const GumboNode*>& chain = m_chain;
    chain.clear();
    const css::AncestorFilter* base = &Empty;
    for (const GumboNode* p = parent; p && p->type == GUMBO_NODE_ELEMENT; p = p->parent) {
        if (const std::uint32_t found = m_filters[p]; found != 0) {
            base = &m_filterList[found - 1];
            break;
        }
        chain.push_back(p);
    }
    for (auto p = chain.rbegin(); p != chain.rend(); ++p) {
        // The filter stored for p covers p's ancestors and p itself.
        css::AncestorFilter filter = *base;
        addNames(*p, filter);
        base = &m_filterList.emplace_back(filter);
        m_filters[*p] = static_cast<std::uint32_t>(m_filterList.size());
    }
    m_lastParent = parent;
    m_lastFilter = base;
    return *base;
}

void PageStyles::collect(const Bucket* bucket, Candidates& candidates, css::Declarations& result,
                         std::uint64_t (&best)[css::PropertyCount]) const {
    if (!bucket) {
        return;
    }
    checkRenderStop(); // rules failing on the element's names alone are not matched
    const GumboNode* element = candidates.element;
    for (const Rule& rule : *bucket) {
        if (rule.pseudo != candidates.pseudo || !candidates.names.covers(rule.subjectNames)) {
            continue;
        }
        // Only a rule that could win for some property is worth matching;
        // before any has matched, each could.
        const std::uint64_t base =
            std::uint64_t(rule.specificity) << 32 | (std::uint64_t(rule.order) + 1);
        if (candidates.matchedAny) {
            bool couldWin = false;
            for (std::size_t p = 0; p < css::PropertyCount && !couldWin; ++p) {
                couldWin = (rule.present >> p & 1) &&
                           (base | std::uint64_t(rule.important >> p & 1) << 63) > best[p];
            }
            if (!couldWin) {
                continue;
            }
        }
        if (rule.ancestorNameCount > 0) {
            if (!candidates.ancestors) {
                candidates.ancestors = &ancestorFilterOf(element);
            }
            bool possible = true;
            for (std::uint8_t k = 0; k < rule.ancestorNameCount && possible; ++k) {
                possible = candidates.ancestors->mayContain(rule.ancestorNames[k]);
            }
            if (!possible) {
                continue;
            }
        }
        if (!rule.bucketOnly && !m_matcher.matches(m_selectors[rule.selector], element)) {
            continue;
        }
        candidates.matchedAny = true;
        const css::Declarations& block = m_blocks[rule.declarations];
        for (std::size_t p = 0; p < css::PropertyCount; ++p) {
            const auto property = static_cast<css::Property>(p);
            if (!block.has(property)) {
                continue;
            }
            const bool important = block.isImportant(property);
            const std::uint64_t key = base | std::uint64_t(important) << 63;
            if (key > best[p]) {
                best[p] = key;
                result.remove(property);
                result.set(property, block.get(property), important);
            }
        }
    }
}

css::Declarations PageStyles::cascade(const GumboNode* element, const RuleSet& rules,
                                      css::PseudoElement pseudo) const {
    css::Declarations result;
    std::uint64_t best[css::PropertyCount] = {};
    const css::ElementNames names = css::namesOf(element);
    Candidates candidates{element, names.bits, nullptr, pseudo, false};
    const auto find = [](const Buckets& buckets, std::string_view key) {
        const auto found = buckets.find(key);
        return found == buckets.end() ? nullptr : &found->second;
    };
    if (!rules.byId.empty() && !names.id.empty()) {
        collect(find(rules.byId, names.id), candidates, result, best);
    }
    if (!rules.byClass.empty()) {
        // A class written twice finds its rules twice; they match the same
        // way and do not change the winner.
        ascii::forEachToken(names.classes, [&](std::string_view name) {
            collect(find(rules.byClass, name), candidates, result, best);
        });
    }
    if (!rules.byTag.empty()) {
        const GumboTag tag = element->v.element.tag;
        collect(tag < GUMBO_TAG_UNKNOWN
                    ? (rules.byKnownTag.empty() ? nullptr : rules.byKnownTag[tag])
                    : find(rules.byTag, elementName(element)),
                candidates, result, best);
    }
    collect(&rules.universal, candidates, result, best);
    return result;
}

const css::Declarations* PageStyles::declaredFor(const GumboNode* element) const {
    if (m_selectors.empty()) {
        return nullptr;
    }
    // The cascade looks nothing up in m_cache: the slot stays where it is.
    std::uint32_t& known = m_cache[element];
    if (known != 0) {
        return known == 1 ? nullptr : &m_declared[known - 2];
    }
    const css::Declarations declared = cascade(element, m_elementRules, css::PseudoElement::None);
    if (declared.empty()) {
        known = 1;
        return nullptr;
    }
    m_declared.push_back(declared);
    known = static_cast<std::uint32_t>(m_declared.size()) + 1;
    return &m_declared.back();
}

css::Declarations PageStyles::declaredFor(const GumboNode* element,
                                          css::PseudoElement pseudo) const {
    return hasRulesFor(pseudo)
               ? cascade(element, m_pseudoRules[static_cast<std::size_t>(pseudo) - 1], pseudo)
               : css::Declarations();
}

} // namespace vt
