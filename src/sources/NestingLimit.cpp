#include "sources/NestingLimit.h"

#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace vt {

namespace {

enum Flag : unsigned {
    Void = 1u << 0,        // never has an end tag
    Special = 1u << 1,     // stops "any other end tag"
    Formatting = 1u << 2,  // closed by the adoption agency
    ClosesP = 1u << 3,     // its start tag closes an open p
    RawText = 1u << 4,     // content is text up to its own end tag
    ButtonScope = 1u << 5, // an open p beyond it is out of reach
    Merged = 1u << 6,      // html, head, body: start tags merge, never nest
    Heading = 1u << 7,
    Foreign = 1u << 8, // svg, math
};

struct TagInfo {
    std::string_view name;
    unsigned flags;
};

constexpr TagInfo KnownTags[] = {
    {"html", Merged | Special | ButtonScope},
    {"head", Merged | Special},
    {"body", Merged | Special},
    {"address", Special | ClosesP},
    {"article", Special | ClosesP},
    {"aside", Special | ClosesP},
    {"blockquote", Special | ClosesP},
    {"center", Special | ClosesP},
    {"details", Special | ClosesP},
    {"dialog", ClosesP},
    {"dir", Special | ClosesP},
    {"div", Special | ClosesP},
    {"dl", Special | ClosesP},
    {"fieldset", Special | ClosesP},
    {"figcaption", Special | ClosesP},
    {"figure", Special | ClosesP},
    {"footer", Special | ClosesP},
    {"header", Special | ClosesP},
    {"hgroup", Special | ClosesP},
    {"main", Special | ClosesP},
    {"menu", Special | ClosesP},
    {"nav", Special | ClosesP},
    {"ol", Special | ClosesP},
    {"p", Special | ClosesP},
    {"search", Special | ClosesP},
    {"section", Special | ClosesP},
    {"summary", Special | ClosesP},
    {"ul", Special | ClosesP},
    {"h1", Special | ClosesP | Heading},
    {"h2", Special | ClosesP | Heading},
    {"h3", Special | ClosesP | Heading},
    {"h4", Special | ClosesP | Heading},
    {"h5", Special | ClosesP | Heading},
    {"h6", Special | ClosesP | Heading},
    {"pre", Special | ClosesP},
    {"listing", Special | ClosesP},
    {"form", Special | ClosesP},
    {"table", Special | ClosesP | ButtonScope},
    {"li", Special},
    {"dd", Special},
    {"dt", Special},
    {"button", Special | ButtonScope},
    {"td", Special | ButtonScope},
    {"th", Special | ButtonScope},
    {"caption", Special | ButtonScope},
    {"tr", Special},
    {"tbody", Special},
    {"thead", Special},
    {"tfoot", Special},
    {"select", Special},
    {"template", Special | ButtonScope},
    {"applet", Special | ButtonScope},
    {"marquee", Special | ButtonScope},
    {"object", Special | ButtonScope},
    {"a", Formatting},
    {"b", Formatting},
    {"big", Formatting},
    {"code", Formatting},
    {"em", Formatting},
    {"font", Formatting},
    {"i", Formatting},
    {"nobr", Formatting},
    {"s", Formatting},
    {"small", Formatting},
    {"strike", Formatting},
    {"strong", Formatting},
    {"tt", Formatting},
    {"u", Formatting},
    {"area", Void | Special},
    {"base", Void | Special},
    {"basefont", Void | Special},
    {"bgsound", Void | Special},
    {"br", Void | Special},
    {"col", Void | Special},
    {"embed", Void | Special},
    {"hr", Void | Special | ClosesP},
    {"img", Void | Special},
    {"image", Void | Special},
    {"input", Void | Special},
    {"keygen", Void | Special},
    {"link", Void | Special},
    {"meta", Void | Special},
    {"param", Void | Special},
    {"source", Void | Special},
    {"track", Void | Special},
    {"wbr", Void | Special},
    {"frame", Void | Special},
    {"script", RawText | Special},
    {"style", RawText | Special},
    {"xmp", RawText | Special | ClosesP},
    {"iframe", RawText | Special},
    {"noembed", RawText | Special},
    {"noframes", RawText | Special},
    {"textarea", RawText | Special},
    {"title", RawText | Special},
    {"option", 0},
    {"optgroup", 0},
    {"plaintext", Special | ClosesP},
    {"svg", Foreign},
    {"math", Foreign},
};

constexpr std::size_t MaxInternedNames = 4096;
constexpr std::size_t MaxNameLength = 32;

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}
bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

class NestingModel {
  public:
    NestingModel(const QByteArray& text, int maxDepth)
        : m_begin(text.constData()), m_end(text.constData() + text.size()), m_maxDepth(maxDepth) {
        for (const TagInfo& tag : KnownTags) {
            intern(tag.name, tag.flags);
        }
        m_otherId = intern("\x01other", 0);
        m_pId = idOf("p");
        m_liId = idOf("li");
        m_ddId = idOf("dd");
        m_dtId = idOf("dt");
        m_optionId = idOf("option");
        m_optgroupId = idOf("optgroup");
        m_tdId = idOf("td");
        m_thId = idOf("th");
        m_trId = idOf("tr");
        m_tableId = idOf("table");
        m_plaintextId = idOf("plaintext");
    }

    // Offsets before which an end tag (of the given element) goes.
    std::vector<std::pair<qsizetype, std::string>> run() {
        const char* p = m_begin;
        while (p < m_end) {
            p = static_cast<const char*>(std::memchr(p, '<', static_cast<std::size_t>(m_end - p)));
            if (!p) {
                break;
            }
            p = markup(p);
        }
        return std::move(m_insertions);
    }

  private:
    int intern(std::string_view name, unsigned flags) {
        auto [it, added] = m_ids.try_emplace(std::string(name), static_cast<int>(m_flags.size()));
        if (added) {
            m_flags.push_back(flags);
            m_names.emplace_back(name);
        }
        return it->second;
    }
    int idOf(std::string_view name) { return m_ids.at(std::string(name)); }

    int idForName(const char* start, const char* end) {
        if (static_cast<std::size_t>(end - start) > MaxNameLength) {
            return m_otherId;
        }
        m_nameBuffer.clear();
        for (const char* c = start; c < end; ++c) {
            m_nameBuffer.push_back(lower(*c));
        }
        if (auto it = m_ids.find(m_nameBuffer); it != m_ids.end()) {
            return it->second;
        }
        return m_ids.size() < MaxInternedNames ? intern(m_nameBuffer, 0) : m_otherId;
    }

    unsigned flags(int id) const { return m_flags[static_cast<std::size_t>(id)]; }

    const char* find(const char* from, std::string_view what) const {
        const std::string_view rest(from, static_cast<std::size_t>(m_end - from));
        const std::size_t at = rest.find(what);
        return at == std::string_view::npos ? m_end : from + at;
    }

    // Handles the markup that starts at '<'; returns where scanning goes on.
    const char* markup(const char* p) {
        const char* next = p + 1;
        if (next >= m_end) {
            return m_end;
        }
        if (*next == '!') {
            if (m_end - p >= 4 && next[1] == '-' && next[2] == '-') {
                const char* body = p + 4;
                if (body < m_end && *body == '>') {
                    return body + 1;
                }
                if (body + 1 < m_end && body[0] == '-' && body[1] == '>') {
                    return body + 2;
                }
                const char* close = find(body, "-->");
                return close == m_end ? m_end : close + 3;
            }
            return skipTo(next, '>');
        }
        if (*next == '?') {
            return skipTo(next, '>');
        }
        if (*next == '/') {
            if (next + 1 < m_end && isLetter(next[1])) {
                return endTag(next + 1);
            }
            return skipTo(next, '>');
        }
        if (isLetter(*next)) {
            return startTag(p, next);
        }
        return next;
    }

    const char* skipTo(const char* from, char c) const {
        const void* at = std::memchr(from, c, static_cast<std::size_t>(m_end - from));
        return at ? static_cast<const char*>(at) + 1 : m_end;
    }

    const char* nameEnd(const char* p) const {
        while (p < m_end && !isSpace(*p) && *p != '/' && *p != '>') {
            ++p;
        }
        return p;
    }

    // Skips attributes to the end of the tag; tells whether it ended with "/>".
    const char* tagEnd(const char* p, bool* selfClosing) const {
        char previous = 0;
        while (p < m_end) {
            const char c = *p;
            if (c == '>') {
                *selfClosing = previous == '/';
                return p + 1;
            }
            if ((c == '"' || c == '\'') && previous == '=') {
                p = skipTo(p + 1, c);
                previous = c;
                continue;
            }
            if (!isSpace(c)) {
                previous = c;
            }
            ++p;
        }
        *selfClosing = false;
        return m_end;
    }

    const char* startTag(const char* tagStart, const char* nameStart) {
        const char* name = nameEnd(nameStart);
        const int id = idForName(nameStart, name);
        bool selfClosing = false;
        const char* after = tagEnd(name, &selfClosing);
        const unsigned f = flags(id);
        if (f & Merged) {
            return after;
        }
        if (m_foreignDepth > 0 && selfClosing) {
            return after;
        }
        closeImplied(id, f);
        if (f & Void) {
            return after;
        }
        if (id == m_plaintextId) {
            return m_end;
        }
        if (static_cast<int>(m_stack.size()) >= m_maxDepth) {
            const OpenElement& top = m_stack.back();
            m_insertions.emplace_back(tagStart - m_begin, std::string(top.name, top.length));
            pop();
        }
        push(id, nameStart, name);
        if (f & RawText) {
            pop();
            return skipRawText(after, id);
        }
        return after;
    }

    const char* skipRawText(const char* p, int id) {
        const std::string& name = m_names[static_cast<std::size_t>(id)];
        while (p < m_end) {
            p = static_cast<const char*>(std::memchr(p, '<', static_cast<std::size_t>(m_end - p)));
            if (!p) {
                return m_end;
            }
            const char* q = p + 2;
            if (p + 1 < m_end && p[1] == '/' && q + name.size() <= m_end) {
                bool same = true;
                for (std::size_t i = 0; i < name.size() && same; ++i) {
                    same = lower(q[i]) == name[i];
                }
                const char* after = q + name.size();
                if (same && (after == m_end || isSpace(*after) || *after == '/' || *after == '>')) {
                    bool ignored = false;
                    return tagEnd(after, &ignored);
                }
            }
            ++p;
        }
        return m_end;
    }

    const char* endTag(const char* nameStart) {
        const char* name = nameEnd(nameStart);
        const int id = idForName(nameStart, name);
        bool ignored = false;
        const char* after = tagEnd(name, &ignored);
        const unsigned f = flags(id);
        if (f & (Merged | Void)) {
            return after;
        }
        const int at = findOpen(id, !(f & (Special | Formatting)));
        if (at < 0) {
            return after;
        }
        if (f & Formatting) {
            // A block opened inside stays open; only the formatting element goes.
            bool blockAbove = false;
            for (std::size_t i = static_cast<std::size_t>(at) + 1; i < m_stack.size(); ++i) {
                blockAbove = blockAbove || (flags(m_stack[i].id) & Special);
            }
            if (blockAbove) {
                removeAt(static_cast<std::size_t>(at));
                return after;
            }
        }
        popTo(at);
        return after;
    }

    // Start tags that close elements still open, as the tree builder does.
    void closeImplied(int id, unsigned f) {
        if (f & ClosesP) {
            closeOpenP();
        }
        if (f & Heading && !m_stack.empty() && (flags(topId()) & Heading)) {
            pop();
        }
        if (id == m_liId) {
            closeListItem({m_liId, -1});
        } else if (id == m_ddId || id == m_dtId) {
            closeListItem({m_ddId, m_dtId});
        } else if (id == m_optionId || id == m_optgroupId) {
            if (!m_stack.empty() && topId() == m_optionId) {
                pop();
            }
            if (id == m_optgroupId && !m_stack.empty() && topId() == m_optgroupId) {
                pop();
            }
        } else if (id == m_tdId || id == m_thId) {
            closeWithin({m_tdId, m_thId}, {m_trId, m_tableId});
        } else if (id == m_trId) {
            closeWithin({m_trId, -1}, {m_tableId, -1});
        } else if (id == m_tableId && !m_stack.empty() && topId() == m_tableId) {
            pop(); // a table directly inside a table closes the first
        }
    }

    void closeOpenP() {
        for (std::size_t i = m_stack.size(); i-- > 0;) {
            if (m_stack[i].id == m_pId) {
                popTo(static_cast<int>(i));
                return;
            }
            if (flags(m_stack[i].id) & ButtonScope) {
                return;
            }
        }
    }

    void closeListItem(std::pair<int, int> items) {
        for (std::size_t i = m_stack.size(); i-- > 0;) {
            const int open = m_stack[i].id;
            if (open == items.first || open == items.second) {
                popTo(static_cast<int>(i));
                return;
            }
            const std::string& name = m_names[static_cast<std::size_t>(open)];
            if ((flags(open) & Special) && name != "address" && name != "div" && name != "p") {
                return;
            }
        }
    }

    void closeWithin(std::pair<int, int> targets, std::pair<int, int> stops) {
        for (std::size_t i = m_stack.size(); i-- > 0;) {
            const int open = m_stack[i].id;
            if (open == targets.first || open == targets.second) {
                popTo(static_cast<int>(i));
                return;
            }
            if (open == stops.first || open == stops.second) {
                return;
            }
        }
    }

    // The innermost open element with this id; -1 when none, or when a
    // special element comes first and stopAtSpecial is set.
    int findOpen(int id, bool stopAtSpecial) const {
        for (std::size_t i = m_stack.size(); i-- > 0;) {
            if (m_stack[i].id == id) {
                return static_cast<int>(i);
            }
            if (stopAtSpecial && (flags(m_stack[i].id) & Special)) {
                return -1;
            }
        }
        return -1;
    }

    int topId() const { return m_stack.back().id; }
    void push(int id, const char* name, const char* nameEnd) {
        m_stack.push_back({id, name, static_cast<std::size_t>(nameEnd - name)});
        if (flags(id) & Foreign) {
            ++m_foreignDepth;
        }
    }
    void pop() { removeAt(m_stack.size() - 1); }
    void popTo(int index) {
        while (static_cast<int>(m_stack.size()) > index) {
            pop();
        }
    }
    void removeAt(std::size_t index) {
        if (flags(m_stack[index].id) & Foreign) {
            --m_foreignDepth;
        }
        m_stack.erase(m_stack.begin() + static_cast<std::ptrdiff_t>(index));
    }

    const char* m_begin;
    const char* m_end;
    int m_maxDepth;
    std::unordered_map<std::string, int> m_ids;
    std::vector<unsigned> m_flags;
    std::vector<std::string> m_names;
    std::string m_nameBuffer;
    struct OpenElement {
        int id;
        const char* name; // as written in the document
        std::size_t length;
    };
    std::vector<OpenElement> m_stack;
    int m_foreignDepth = 0;
    std::vector<std::pair<qsizetype, std::string>> m_insertions;
    int m_otherId, m_pId, m_liId, m_ddId, m_dtId, m_optionId, m_optgroupId, m_tdId, m_thId, m_trId,
        m_tableId, m_plaintextId;
};

} // namespace

QByteArray limitNesting(QByteArray utf8, int maxDepth) {
    const auto insertions = NestingModel(utf8, maxDepth).run();
    if (insertions.empty()) {
        return utf8;
    }
    QByteArray limited;
    limited.reserve(utf8.size() + static_cast<qsizetype>(insertions.size()) * 8);
    qsizetype from = 0;
    for (const auto& [offset, name] : insertions) {
        limited.append(utf8.constData() + from, offset - from);
        limited.append("</").append(name.data(), static_cast<qsizetype>(name.size()));
        limited.append('>');
        from = offset;
    }
    limited.append(utf8.constData() + from, utf8.size() - from);
    return limited;
}

} // namespace vt
