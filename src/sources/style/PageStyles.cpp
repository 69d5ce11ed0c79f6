#include "sources/style/PageStyles.h"

#include "sources/style/CssText.h"
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
    std::size_t elements = 0;
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
        ++elements;
        if (isAppliedStyleElement(child)) {
            addStyleSheet(textOf(child));
        } else {
            stack.push_back({child, 0});
        }
    }
    if (!m_rules.empty()) {
        m_cache.reserve(elements); // growing it step by step costs more
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
    const auto index = static_cast<std::uint32_t>(m_rules.size());
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
    if (!subject.id.empty()) {
        set.byId[subject.id].push_back(index);
    } else if (!subject.classes.empty()) {
        set.byClass[subject.classes.front()].push_back(index);
    } else if (!subject.tag.empty()) {
        set.byTag[subject.tag].push_back(index);
    } else {
        set.universal.push_back(index);
    }
    Rule rule;
    rule.pseudo = selector.pseudoElement;
    rule.declarations = block;
    rule.order = order;
    rule.specificity = selector.specificity;
    // A compound to the left of a descendant or child combinator is an
    // ancestor of the subject.
    const std::vector<css::Compound>& compounds = selector.compounds;
    const auto need = [&rule](css::NameKind kind, std::string_view name) {
        if (rule.ancestorNameCount < rule.ancestorNames.size()) {
            rule.ancestorNames[rule.ancestorNameCount++] = css::nameHash(kind, name);
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
    m_rules.push_back(rule);
    m_selectors.push_back(std::move(selector));
}

namespace {

// Calls use with each name of the element's class attribute.
template <typename Use> void forEachClass(const GumboNode* element, const Use& use) {
    const std::string_view classes = css::SelectorMatcher::attributeValue(element, "class");
    ascii::forEachToken(classes, use);
}

template <typename Add> void forEachName(const GumboNode* element, const Add& add) {
    add(css::NameKind::Tag, elementName(element));
    const std::string_view id = css::SelectorMatcher::attributeValue(element, "id");
    if (!id.empty()) {
        add(css::NameKind::Id, id);
    }
    forEachClass(element, [&](std::string_view name) { add(css::NameKind::Class, name); });
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
    if (const auto found = m_filters.find(parent); found != m_filters.end()) {
        return found->second;
    }
    std::vector<const GumboNode*> chain;
    const css::AncestorFilter* base = &Empty;
    for (const GumboNode* p = parent; p && p->type == GUMBO_NODE_ELEMENT; p = p->parent) {
        if (const auto found = m_filters.find(p); found != m_filters.end()) {
            base = &found->second;
            break;
        }
        chain.push_back(p);
    }
    css::AncestorFilter filter = *base;
    for (auto p = chain.rbegin(); p != chain.rend(); ++p) {
        // The filter stored for p covers p's ancestors and p itself.
        forEachName(*p, [&filter](css::NameKind kind, std::string_view name) {
            filter.add(css::nameHash(kind, name));
        });
        m_filters.emplace(*p, filter);
    }
    return m_filters.find(parent)->second;
}

void PageStyles::collect(const std::vector<std::uint32_t>* bucket, Candidates& candidates,
                         css::Declarations& result,
                         std::uint64_t (&best)[css::PropertyCount]) const {
    if (!bucket) {
        return;
    }
    const GumboNode* element = candidates.element;
    for (const std::uint32_t index : *bucket) {
        const Rule& rule = m_rules[index];
        if (rule.pseudo != candidates.pseudo) {
            continue;
        }
        const css::Declarations& block = m_blocks[rule.declarations];
        // Only a rule that could win for some property is worth matching.
        const std::uint64_t base =
            std::uint64_t(rule.specificity) << 32 | (std::uint64_t(rule.order) + 1);
        bool couldWin = false;
        for (std::size_t p = 0; p < css::PropertyCount && !couldWin; ++p) {
            const auto property = static_cast<css::Property>(p);
            couldWin = block.has(property) &&
                       (base | std::uint64_t(block.isImportant(property)) << 63) > best[p];
        }
        if (!couldWin) {
            continue;
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
        if (!m_matcher.matches(m_selectors[index], element)) {
            continue;
        }
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
    Candidates candidates{element, nullptr, pseudo};
    const auto find = [](const Buckets& buckets, std::string_view key) {
        const auto found = buckets.find(key);
        return found == buckets.end() ? nullptr : &found->second;
    };
    if (!rules.byId.empty()) {
        const std::string_view id = css::SelectorMatcher::attributeValue(element, "id");
        if (!id.empty()) {
            collect(find(rules.byId, id), candidates, result, best);
        }
    }
    if (!rules.byClass.empty()) {
        // A class written twice finds its rules twice; they match the same
        // way and do not change the winner.
        forEachClass(element, [&](std::string_view name) {
            collect(find(rules.byClass, name), candidates, result, best);
        });
    }
    if (!rules.byTag.empty()) {
        collect(find(rules.byTag, elementName(element)), candidates, result, best);
    }
    collect(&rules.universal, candidates, result, best);
    return result;
}

const css::Declarations* PageStyles::declaredFor(const GumboNode* element) const {
    if (m_rules.empty()) {
        return nullptr;
    }
    const auto [entry, isNew] = m_cache.try_emplace(element);
    if (isNew) {
        entry->second = cascade(element, m_elementRules, css::PseudoElement::None);
    }
    return entry->second.empty() ? nullptr : &entry->second;
}

css::Declarations PageStyles::declaredFor(const GumboNode* element,
                                          css::PseudoElement pseudo) const {
    return hasRulesFor(pseudo)
               ? cascade(element, m_pseudoRules[static_cast<std::size_t>(pseudo) - 1], pseudo)
               : css::Declarations();
}

} // namespace vt
