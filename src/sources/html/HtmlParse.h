#pragma once

#include <QByteArray>
#include <atomic>
#include <cstddef>
#include <memory>

struct GumboInternalNode;
struct GumboInternalOutput;

namespace vt {

class ParseArena;

// The most memory one parse tree may take. A 20 MB page of ordinary markup
// needs well under half of it.
inline constexpr std::size_t MaxParseMemory = std::size_t(300) << 20;

// An HTML5 parse tree of a UTF-8 document, its nesting bounded (limitNesting).
// Its memory comes from an arena released in one piece, so even very deep
// trees are freed without recursion. Parsing stops with a Failure when it
// would need more than maxMemory, or soon after *cancel becomes true.
class ParsedHtml {
  public:
    explicit ParsedHtml(QByteArray utf8, const std::atomic_bool* cancel = nullptr,
                        std::size_t maxMemory = MaxParseMemory);
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
