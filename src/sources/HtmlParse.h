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
    explicit ParsedHtml(QByteArray utf8);
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
