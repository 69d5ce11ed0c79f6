#pragma once

#include <QByteArray>
#include <memory>

struct GumboInternalNode;
struct GumboInternalOutput;

namespace vt {

class ParseArena;

// An HTML5 parse tree of a UTF-8 document. Its memory comes from an arena
// released in one piece, so even very deep trees are freed without recursion.
class ParsedHtml {
  public:
    // Lean: the parser gets the document without what cannot show (see
    // leanMarkup); AsIs: exactly the document (with its nesting bounded).
    enum class Input { Lean, AsIs };

    explicit ParsedHtml(QByteArray utf8, Input input = Input::Lean);
    ~ParsedHtml();
    ParsedHtml(const ParsedHtml&) = delete;
    ParsedHtml& operator=(const ParsedHtml&) = delete;

    // The document element (html); never null.
    const GumboInternalNode* documentElement() const;

  private:
    QByteArray m_source; // the tree points into it
    std::unique_ptr<ParseArena> m_arena;
    GumboInternalOutput* m_output = nullptr;
};

} // namespace vt
