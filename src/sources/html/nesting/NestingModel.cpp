#include "sources/html/nesting/NestingModel.h"

#include "sources/html/nesting/NestingTags.h"

#include <gumbo.h>
#include <utility>

namespace vt {

using namespace nesting;

NestingModel::NestingModel(int maxDepth) : m_maxDepth(maxDepth) {}

NestingModel::Verdict NestingModel::startTag(const MarkupTag& tag) {
    if (m_lost) {
        return Verdict::Keep;
    }
    text(tag);
    const int id = tagOf(tag.name);
    const unsigned f = flagsOf(id);
    if (f & Lost || (id == GUMBO_TAG_NOSCRIPT && !m_inBody)) {
        m_lost = true;
        return Verdict::Keep;
    }
    if (f & Merged) {
        m_inBody = m_inBody || id == GUMBO_TAG_BODY;
        return Verdict::Keep;
    }
    if (f & HeadOnly) {
        if (id == GUMBO_TAG_SCRIPT) {
            return Verdict::Script;
        }
        return f & RawText ? Verdict::RawText : Verdict::Keep;
    }
    m_inBody = true;
    if (f & Void) {
        if (f & ClosesP) {
            closeP();
        }
        if (f & Reconstructs) {
            reconstructFormatting();
        }
        return Verdict::Keep;
    }
    if (f & RawText) {
        if (id == GUMBO_TAG_XMP) {
            closeP();
            reconstructFormatting();
        }
        return Verdict::RawText;
    }
    if (id == GUMBO_TAG_FORM && m_form >= 0) {
        return Verdict::Keep; // a form inside a form is ignored
    }
    if (!opensWithinLimit()) {
        if (f & ClosesP) {
            reconstructFormatting(); // as the "<br>" standing in for it does
            return Verdict::Break;
        }
        return Verdict::Drop;
    }
    if (f & ClosesP) {
        if (id == GUMBO_TAG_LI || id == GUMBO_TAG_DD || id == GUMBO_TAG_DT) {
            closeListItems(id);
        }
        closeP();
        if (f & Heading && (flagsOf(top()) & Heading)) {
            pop();
        }
        push(id);
        if (id == GUMBO_TAG_FORM) {
            m_form = static_cast<int>(m_stack.back().id);
        }
        return id == GUMBO_TAG_PLAINTEXT ? Verdict::Plaintext : Verdict::Keep;
    }
    if (id == GUMBO_TAG_BUTTON) {
        const int open = inScope(GUMBO_TAG_BUTTON, Scope::Default);
        if (open >= 0) {
            generateImpliedEndTags();
            popThrough(static_cast<std::size_t>(open));
        }
    } else if (id == GUMBO_TAG_A && lastFormatting(GUMBO_TAG_A) >= 0) {
        const unsigned earlier =
            m_formatting[static_cast<std::size_t>(lastFormatting(GUMBO_TAG_A))].id;
        if (!simpleAdoption(GUMBO_TAG_A)) {
            m_lost = true;
            return Verdict::Keep;
        }
        if (const int at = lastFormatting(GUMBO_TAG_A);
            at >= 0 && m_formatting[static_cast<std::size_t>(at)].id == earlier) {
            eraseFormatting(static_cast<std::size_t>(at));
        }
        if (const int at = indexOf(earlier); at >= 0) {
            removeAt(static_cast<std::size_t>(at));
        }
    } else if (id == GUMBO_TAG_NOBR) {
        reconstructFormatting();
        if (inScope(GUMBO_TAG_NOBR, Scope::Default) >= 0 && !simpleAdoption(GUMBO_TAG_NOBR)) {
            m_lost = true;
            return Verdict::Keep;
        }
    } else if (id == GUMBO_TAG_OPTION || id == GUMBO_TAG_OPTGROUP) {
        if (top() == GUMBO_TAG_OPTION) {
            pop();
        }
    }
    if (m_lost) {
        return Verdict::Keep;
    }
    reconstructFormatting();
    push(id);
    if (f & FormattingTag) {
        addFormatting(id, m_stack.back().id, tag.attributes);
    } else if (f & Marker) {
        m_formatting.push_back({}); // a marker
    }
    return Verdict::Keep;
}

void NestingModel::endTag(const MarkupTag& tag) {
    if (m_lost || tag.closesRawText) {
        return;
    }
    text(tag);
    const int id = tagOf(tag.name);
    const unsigned f = flagsOf(id);
    if (!m_inBody) {
        // Before the body only these end tags open it; the rest are ignored.
        m_inBody = id == GUMBO_TAG_BODY || id == GUMBO_TAG_HTML || id == GUMBO_TAG_BR;
        if (id != GUMBO_TAG_BR) {
            return;
        }
    }
    if (f & Merged || id == GUMBO_TAG_TEMPLATE) {
        return;
    }
    if (id == GUMBO_TAG_BR) {
        reconstructFormatting(); // "</br>" is read as "<br>"
        return;
    }
    if (f & (ClosedInScope | Marker)) {
        const int open = inScope(id, Scope::Default);
        if (open >= 0) {
            generateImpliedEndTags();
            popThrough(static_cast<std::size_t>(open));
            if (f & Marker) {
                clearFormattingToMarker();
            }
        }
        return;
    }
    switch (id) {
    case GUMBO_TAG_FORM: {
        const int form = std::exchange(m_form, -1);
        const int at = form < 0 ? -1 : indexOf(static_cast<unsigned>(form));
        if (at >= 0 && inScope(GUMBO_TAG_FORM, Scope::Default) == at) {
            generateImpliedEndTags();
            removeAt(static_cast<std::size_t>(at));
        }
        return;
    }
    case GUMBO_TAG_P:
    case GUMBO_TAG_LI:
    case GUMBO_TAG_DD:
    case GUMBO_TAG_DT: {
        const Scope scope = id == GUMBO_TAG_P    ? Scope::Button
                            : id == GUMBO_TAG_LI ? Scope::ListItem
                                                 : Scope::Default;
        const int open = inScope(id, scope);
        if (open >= 0) {
            generateImpliedEndTags(id);
            popThrough(static_cast<std::size_t>(open));
        }
        return; // "</p>" with no p makes an empty one: the stack is as before
    }
    default:
        break;
    }
    if (f & Heading) {
        const int open = headingInScope();
        if (open >= 0) {
            generateImpliedEndTags();
            popThrough(static_cast<std::size_t>(open));
        }
        return;
    }
    if (f & FormattingTag && lastFormatting(id) >= 0) {
        m_lost = !simpleAdoption(id);
        return;
    }
    anyOtherEndTag(id);
}

// Character tokens open the body when they are not blanks, and in the body
// bring back formatting elements closed by accident.
void NestingModel::text(const MarkupTag& tag) {
    m_inBody = m_inBody || tag.wordBefore;
    if (m_inBody && tag.textBefore) {
        reconstructFormatting();
    }
}

// Whether a new element may open: only an element deeper than the limit is
// left out, so the document's tree is certainly deeper wherever it is.
bool NestingModel::opensWithinLimit() {
    return depth() <= m_maxDepth || fixedDepth() <= m_maxDepth;
}

void NestingModel::push(int tag) {
    const unsigned id = m_nextId++;
    const bool special = flagsOf(tag) & Special;
    m_stack.push_back({tag, id, m_specials});
    m_specials += special ? 1 : 0;
    m_isOpen.push_back(1);
    m_listed.push_back(0);
}

void NestingModel::pop() {
    m_isOpen[m_stack.back().id] = 0;
    m_specials -= flagsOf(m_stack.back().tag) & Special ? 1 : 0;
    m_stack.pop_back();
    if (m_lowestListed >= depth()) {
        m_lowestListed = -1; // nothing listed is below it
    }
}

void NestingModel::popThrough(std::size_t index) {
    while (m_stack.size() > index) {
        pop();
    }
}

void NestingModel::removeAt(std::size_t index) {
    m_isOpen[m_stack[index].id] = 0;
    const int below = m_stack[index].specialsBelow;
    m_stack.erase(m_stack.begin() + static_cast<std::ptrdiff_t>(index));
    m_specials = below;
    for (std::size_t i = index; i < m_stack.size(); ++i) {
        m_stack[i].specialsBelow = m_specials;
        m_specials += flagsOf(m_stack[i].tag) & Special ? 1 : 0;
    }
    const int at = static_cast<int>(index);
    if (m_lowestListed > at) {
        --m_lowestListed;
    } else if (m_lowestListed == at) {
        findLowestListed(index);
    }
}

bool NestingModel::onStack(unsigned id) const {
    return id < m_isOpen.size() && m_isOpen[id];
}

int NestingModel::indexOf(unsigned id) const {
    if (!onStack(id)) {
        return -1;
    }
    for (std::size_t i = m_stack.size(); i-- > 0;) {
        if (m_stack[i].id == id) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int NestingModel::inScope(int tag, Scope scope) const {
    for (std::size_t i = m_stack.size(); i-- > 0;) {
        const int open = m_stack[i].tag;
        if (open == tag) {
            return static_cast<int>(i);
        }
        if (flagsOf(open) & Marker || (scope == Scope::Button && open == GUMBO_TAG_BUTTON) ||
            (scope == Scope::ListItem && (open == GUMBO_TAG_OL || open == GUMBO_TAG_UL))) {
            return -1;
        }
    }
    return -1;
}

int NestingModel::headingInScope() const {
    for (std::size_t i = m_stack.size(); i-- > 0;) {
        const unsigned f = flagsOf(m_stack[i].tag);
        if (f & Heading) {
            return static_cast<int>(i);
        }
        if (f & Marker) {
            return -1;
        }
    }
    return -1;
}

void NestingModel::closeP() {
    const int open = inScope(GUMBO_TAG_P, Scope::Button);
    if (open >= 0) {
        generateImpliedEndTags(GUMBO_TAG_P);
        popThrough(static_cast<std::size_t>(open));
    }
}

void NestingModel::generateImpliedEndTags(int except) {
    while (!m_stack.empty() && impliesEndTag(top()) && top() != except) {
        pop();
    }
}

// A new list item closes the open one, unless a block other than address,
// div or p stands between them.
void NestingModel::closeListItems(int tag) {
    for (std::size_t i = m_stack.size(); i-- > 0;) {
        const int open = m_stack[i].tag;
        const bool item = tag == GUMBO_TAG_LI ? open == GUMBO_TAG_LI
                                              : open == GUMBO_TAG_DD || open == GUMBO_TAG_DT;
        if (item) {
            generateImpliedEndTags(open);
            popThrough(i);
            return;
        }
        if (flagsOf(open) & Special && open != GUMBO_TAG_ADDRESS && open != GUMBO_TAG_DIV &&
            open != GUMBO_TAG_P) {
            return;
        }
    }
}

// The adoption agency where it only closes elements; false where it would
// move elements (a block inside the formatting element), which is not followed.
bool NestingModel::simpleAdoption(int tag) {
    const int entry = lastFormatting(tag);
    if (entry < 0) {
        return false; // open, but no longer in the list: not followed
    }
    if (top() == tag && (m_formatting[static_cast<std::size_t>(entry)].id != m_stack.back().id)) {
        return false;
    }
    const unsigned id = m_formatting[static_cast<std::size_t>(entry)].id;
    const int at = indexOf(id);
    if (at < 0) {
        eraseFormatting(static_cast<std::size_t>(entry));
        return true;
    }
    for (std::size_t i = static_cast<std::size_t>(at) + 1; i < m_stack.size(); ++i) {
        if (flagsOf(m_stack[i].tag) & (Special | Marker)) {
            return false; // out of scope, or a furthest block
        }
    }
    popThrough(static_cast<std::size_t>(at));
    eraseFormatting(static_cast<std::size_t>(entry));
    return true;
}

void NestingModel::anyOtherEndTag(int tag) {
    for (std::size_t i = m_stack.size(); i-- > 0;) {
        if (m_stack[i].tag == tag) {
            popThrough(i);
            return;
        }
        if (flagsOf(m_stack[i].tag) & Special) {
            return;
        }
    }
}

} // namespace vt
