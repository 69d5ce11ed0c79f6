#pragma once

#include "sources/html/nesting/MarkupScanner.h"

#include <string_view>
#include <vector>

namespace vt {

// What the tree builder does with the stack of open elements while it is in
// the body of a document, followed tag by tag, for the parts of HTML whose
// effect on that stack is certain: ordinary, block, list, heading, form and
// formatting elements (with their list of active formatting elements), raw
// text elements and void elements. At anything else (tables, select, foreign
// content, templates, frames, an adoption that moves elements) it is lost,
// and says so, rather than guess.
class NestingModel {
  public:
    enum class Verdict {
        Keep,     // the tag as it is
        Drop,     // leave the start tag out: its element would be too deep
        Break,    // the same for a block: a line break ("<br>") stands in for it
        RawText,  // keep it; its element holds raw text (enterRawText)
        Script,   // keep it; script data follows
        Plaintext // keep it; the rest is text
    };

    // While more than maxDepth elements are open inside the body, no more open.
    explicit NestingModel(int maxDepth);

    Verdict startTag(const MarkupTag& tag);
    void endTag(const MarkupTag& tag);
    bool lost() const { return m_lost; }
    int depth() const { return static_cast<int>(m_stack.size()); }

  private:
    struct Open {
        int tag;           // a GumboTag
        unsigned id;       // which element, for the list of active formatting elements
        int specialsBelow; // special elements below it on the stack
    };
    struct Formatting {
        int tag = -1; // -1: a marker
        unsigned id = 0;
        std::string_view attributes;
    };

    void text(const MarkupTag& tag);
    bool opensWithinLimit();
    void push(int tag);
    void pushFormatting(int tag, std::string_view attributes);
    void pop();
    void popThrough(std::size_t index);
    void removeAt(std::size_t index);
    void list(unsigned id);
    void unlist(unsigned id);
    void eraseFormatting(std::size_t index);
    void findLowestListed(std::size_t from);
    int fixedDepth() const;
    bool onStack(unsigned id) const;
    int indexOf(unsigned id) const;
    int top() const { return m_stack.empty() ? -1 : m_stack.back().tag; }

    // Where an open element with the tag is, if it is in the given scope; -1 when not.
    enum class Scope { Default, ListItem, Button };
    int inScope(int tag, Scope scope) const;
    int headingInScope() const;
    void closeP();
    void generateImpliedEndTags(int except = -1);
    void closeListItems(int tag);
    void reconstructFormatting();
    void clearFormattingToMarker();
    void addFormatting(int tag, unsigned id, std::string_view attributes);
    int lastFormatting(int tag) const;
    bool simpleAdoption(int tag);
    void anyOtherEndTag(int tag);

    int m_maxDepth;
    std::vector<Open> m_stack; // inside the body: html and body are not in it
    std::vector<Formatting> m_formatting;
    std::vector<char> m_isOpen;          // by element id
    std::vector<unsigned char> m_listed; // by element id: entries in m_formatting
    int m_specials = 0;                  // special elements on the stack
    int m_lowestListed = -1;             // stack index of the lowest listed element
    unsigned m_nextId = 0;
    int m_form = -1; // id of the form element pointer, -1 when none
    bool m_inBody = false;
    bool m_lost = false;
};

} // namespace vt
