#include "sources/style/SelectorMatch.h"

#include "sources/html/RenderStop.h"
#include "sources/style/CssText.h"
#include "sources/style/ElementStyle.h"

#include <gumbo.h>
#include <string>

namespace vt::css {

namespace {

bool isElement(const GumboNode* node) {
    return node && (node->type == GUMBO_NODE_ELEMENT || node->type == GUMBO_NODE_TEMPLATE);
}

const GumboNode* parentElement(const GumboNode* node) {
    return isElement(node->parent) ? node->parent : nullptr;
}

const GumboVector* siblingsOf(const GumboNode* node) {
    const GumboNode* parent = node->parent;
    if (!parent) {
        return nullptr;
    }
    return parent->type == GUMBO_NODE_DOCUMENT ? &parent->v.document.children
                                               : &parent->v.element.children;
}

const GumboNode* previousElementSibling(const GumboNode* node) {
    const GumboVector* siblings = siblingsOf(node);
    if (!siblings) {
        return nullptr;
    }
    for (std::size_t i = node->index_within_parent; i-- > 0;) {
        const auto* sibling = static_cast<const GumboNode*>(siblings->data[i]);
        if (isElement(sibling)) {
            return sibling;
        }
    }
    return nullptr;
}

bool hasToken(std::string_view list, std::string_view token) {
    return ascii::anyToken(list, [token](std::string_view t) { return t == token; });
}

bool equalText(std::string_view a, std::string_view b, bool ignoreCase) {
    if (a.size() != b.size()) {
        return false;
    }
    if (!ignoreCase) {
        return a == b;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (ascii::lower(a[i]) != ascii::lower(b[i])) {
            return false;
        }
    }
    return true;
}

bool attributeMatches(const AttributeTest& test, const GumboNode* element) {
    const GumboAttribute* attribute =
        gumbo_get_attribute(&element->v.element.attributes, test.name.c_str());
    if (!attribute) {
        return false;
    }
    const std::string_view actual = attribute->value;
    const std::string_view wanted = test.value;
    const bool ic = test.ignoreCase;
    switch (test.op) {
    case AttributeTest::Op::Exists:
        return true;
    case AttributeTest::Op::Equals:
        return equalText(actual, wanted, ic);
    case AttributeTest::Op::Includes: {
        if (wanted.empty() || wanted.find_first_of(" \t\n\r\f") != std::string_view::npos) {
            return false;
        }
        return ascii::anyToken(
            actual, [&](std::string_view token) { return equalText(token, wanted, ic); });
    }
    case AttributeTest::Op::DashMatch:
        return equalText(actual, wanted, ic) ||
               (actual.size() > wanted.size() && actual[wanted.size()] == '-' &&
                equalText(actual.substr(0, wanted.size()), wanted, ic));
    case AttributeTest::Op::Prefix:
        return !wanted.empty() && actual.size() >= wanted.size() &&
               equalText(actual.substr(0, wanted.size()), wanted, ic);
    case AttributeTest::Op::Suffix:
        return !wanted.empty() && actual.size() >= wanted.size() &&
               equalText(actual.substr(actual.size() - wanted.size()), wanted, ic);
    case AttributeTest::Op::Contains:
        if (wanted.empty() || actual.size() < wanted.size()) {
            return false;
        }
        if (!ic) {
            return actual.find(wanted) != std::string_view::npos;
        }
        for (std::size_t i = 0; i + wanted.size() <= actual.size(); ++i) {
            if (equalText(actual.substr(i, wanted.size()), wanted, true)) {
                return true;
            }
        }
        return false;
    }
    return false;
}

bool isEmpty(const GumboNode* element) {
    const GumboVector& children = element->v.element.children;
    for (unsigned i = 0; i < children.length; ++i) {
        const auto* child = static_cast<const GumboNode*>(children.data[i]);
        if (child->type != GUMBO_NODE_COMMENT) {
            return false;
        }
    }
    return true;
}

// Does position p (1-based) satisfy an+b for some n >= 0?
bool nthMatches(int a, int b, int p) {
    if (a == 0) {
        return p == b;
    }
    const int diff = p - b;
    return diff % a == 0 && diff / a >= 0;
}

} // namespace

std::string_view SelectorMatcher::attributeValue(const GumboNode* element, const char* name) {
    const GumboAttribute* attribute = gumbo_get_attribute(&element->v.element.attributes, name);
    return attribute ? std::string_view(attribute->value) : std::string_view();
}

SelectorMatcher::Position SelectorMatcher::positionOf(const GumboNode* element) {
    if (const auto found = m_positions.find(element); found != m_positions.end()) {
        return found->second;
    }
    // Count the whole sibling list once.
    const GumboVector* siblings = siblingsOf(element);
    if (!siblings) {
        return {1, 1};
    }
    int total = 0;
    for (unsigned i = 0; i < siblings->length; ++i) {
        total += isElement(static_cast<const GumboNode*>(siblings->data[i])) ? 1 : 0;
    }
    int index = 0;
    for (unsigned i = 0; i < siblings->length; ++i) {
        const auto* sibling = static_cast<const GumboNode*>(siblings->data[i]);
        if (isElement(sibling)) {
            ++index;
            m_positions[sibling] = {index, total - index + 1};
        }
    }
    return m_positions[element];
}

SelectorMatcher::Position SelectorMatcher::typePositionOf(const GumboNode* element) {
    if (const auto found = m_typePositions.find(element); found != m_typePositions.end()) {
        return found->second;
    }
    const GumboVector* siblings = siblingsOf(element);
    if (!siblings) {
        return {1, 1};
    }
    // One pass counts each type, a second numbers the siblings within theirs.
    // A type is the namespace and the name; the name is copied, since the
    // name of an unknown tag lives in a buffer the next lookup reuses.
    const auto typeOf = [](const GumboNode* sibling) {
        std::string type(1, static_cast<char>('0' + sibling->v.element.tag_namespace));
        type += elementName(sibling);
        return type;
    };
    std::unordered_map<std::string, int> totals;
    for (unsigned i = 0; i < siblings->length; ++i) {
        const auto* sibling = static_cast<const GumboNode*>(siblings->data[i]);
        if (isElement(sibling)) {
            ++totals[typeOf(sibling)];
        }
    }
    std::unordered_map<std::string, int> seen;
    for (unsigned i = 0; i < siblings->length; ++i) {
        const auto* sibling = static_cast<const GumboNode*>(siblings->data[i]);
        if (isElement(sibling)) {
            const std::string type = typeOf(sibling);
            const int index = ++seen[type];
            m_typePositions[sibling] = {index, totals[type] - index + 1};
        }
    }
    return m_typePositions[element];
}

bool SelectorMatcher::matchesPseudoClass(const PseudoClass& pseudo, const GumboNode* element) {
    switch (pseudo.kind) {
    case PseudoClass::Kind::NthChild:
        return nthMatches(pseudo.a, pseudo.b, positionOf(element).fromStart);
    case PseudoClass::Kind::NthLastChild:
        return nthMatches(pseudo.a, pseudo.b, positionOf(element).fromEnd);
    case PseudoClass::Kind::NthOfType:
        return nthMatches(pseudo.a, pseudo.b, typePositionOf(element).fromStart);
    case PseudoClass::Kind::NthLastOfType:
        return nthMatches(pseudo.a, pseudo.b, typePositionOf(element).fromEnd);
    case PseudoClass::Kind::Root:
        return element->parent && element->parent->type == GUMBO_NODE_DOCUMENT;
    case PseudoClass::Kind::Empty:
        return isEmpty(element);
    case PseudoClass::Kind::Not:
        for (const Compound& argument : pseudo.arguments) {
            if (matchesCompound(argument, element)) {
                return false;
            }
        }
        return true;
    case PseudoClass::Kind::Is:
        for (const Compound& argument : pseudo.arguments) {
            if (matchesCompound(argument, element)) {
                return true;
            }
        }
        return false;
    }
    return false;
}

bool SelectorMatcher::matchesCompound(const Compound& compound, const GumboNode* element) {
    if (!compound.tag.empty() && elementName(element) != compound.tag) {
        return false;
    }
    if (!compound.id.empty() && attributeValue(element, "id") != compound.id) {
        return false;
    }
    if (!compound.classes.empty()) {
        const std::string_view classes = attributeValue(element, "class");
        for (const std::string& name : compound.classes) {
            if (!hasToken(classes, name)) {
                return false;
            }
        }
    }
    for (const AttributeTest& test : compound.attributes) {
        if (!attributeMatches(test, element)) {
            return false;
        }
    }
    for (const PseudoClass& pseudo : compound.pseudoClasses) {
        if (!matchesPseudoClass(pseudo, element)) {
            return false;
        }
    }
    return true;
}

template <typename Next, typename Stops>
SelectorMatcher::Result SelectorMatcher::walk(const ComplexSelector& selector, std::size_t index,
                                              const GumboNode* element, Result exhausted, Next next,
                                              Stops stops) {
    // The walk from an element goes on as the walk from the next one, so one
    // outcome serves every element passed on the way.
    std::vector<const GumboNode*> passed;
    Result outcome = exhausted;
    for (const GumboNode* from = element;;) {
        if (const auto known = m_walks.find({&selector, index, from}); known != m_walks.end()) {
            outcome = known->second;
            break;
        }
        passed.push_back(from);
        const GumboNode* candidate = next(from);
        if (!candidate) {
            break;
        }
        if (const Result r = matchFrom(selector, index, candidate); stops(r)) {
            outcome = r;
            break;
        }
        from = candidate;
    }
    for (const GumboNode* e : passed) {
        m_walks.emplace(WalkKey{&selector, index, e}, outcome);
    }
    return outcome;
}

// The failure kinds let a combinator stop early: once a descendant chain
// fails for an ancestor it fails for all further ancestors, and likewise for
// siblings, so matching stays linear in the depth of the tree.
SelectorMatcher::Result SelectorMatcher::matchFrom(const ComplexSelector& selector,
                                                   std::size_t index, const GumboNode* element) {
    checkRenderStop();
    const Compound& compound = selector.compounds[index];
    if (!matchesCompound(compound, element)) {
        return Result::FailsHere;
    }
    if (index + 1 == selector.compounds.size()) {
        return Result::Matches;
    }
    switch (compound.combinator) {
    case Combinator::Descendant:
        return walk(selector, index + 1, element, Result::FailsCompletely, parentElement,
                    [](Result r) { return r == Result::Matches || r == Result::FailsCompletely; });
    case Combinator::Child: {
        const GumboNode* parent = parentElement(element);
        if (!parent) {
            return Result::FailsCompletely;
        }
        const Result r = matchFrom(selector, index + 1, parent);
        return r == Result::FailsHere ? Result::FailsAllSiblings : r;
    }
    case Combinator::NextSibling: {
        const GumboNode* sibling = previousElementSibling(element);
        return sibling ? matchFrom(selector, index + 1, sibling) : Result::FailsAllSiblings;
    }
    case Combinator::SubsequentSibling:
        return walk(selector, index + 1, element, Result::FailsAllSiblings, previousElementSibling,
                    [](Result r) { return r != Result::FailsHere; });
    case Combinator::None:
        break;
    }
    return Result::FailsCompletely;
}

bool SelectorMatcher::matches(const ComplexSelector& selector, const GumboNode* element) {
    return !selector.compounds.empty() && matchFrom(selector, 0, element) == Result::Matches;
}

} // namespace vt::css
