#include "sources/style/StyleSheetScanner.h"

#include "sources/style/CssText.h"
#include "sources/style/MediaQuery.h"

#include <string>

namespace vt::css {

namespace {

class Scanner {
  public:
    explicit Scanner(std::string_view sheet) : m_s(sheet) {}

    void run(const std::function<void(std::string_view, std::string_view)>& rule) {
        while (m_p < m_s.size()) {
            const char c = m_s[m_p];
            if (ascii::isSpace(c)) {
                ++m_p;
            } else if (startsWith("/*")) {
                m_p = commentEnd(m_s, m_p);
            } else if (startsWith("<!--")) {
                m_p += 4;
            } else if (startsWith("-->")) {
                m_p += 3;
            } else if (c == '}') {
                // Ends an open group; a stray one at the top is dropped.
                m_openGroups -= m_openGroups > 0 ? 1 : 0;
                ++m_p;
            } else if (c == '@') {
                atRule();
            } else {
                styleRule(rule);
            }
        }
    }

  private:
    bool startsWith(std::string_view what) const {
        return m_s.compare(m_p, what.size(), what) == 0;
    }

    // The first of `stops` at or after `from` outside strings and comments,
    // or the end of the sheet.
    std::size_t findOutside(std::size_t from, std::string_view stops) const {
        for (std::size_t i = from; i < m_s.size();) {
            const char c = m_s[i];
            if (c == '"' || c == '\'') {
                i = stringEnd(m_s, i);
            } else if (c == '/' && i + 1 < m_s.size() && m_s[i + 1] == '*') {
                i = commentEnd(m_s, i);
            } else if (c == '\\') {
                i += 2;
            } else if (stops.find(c) != std::string_view::npos) {
                return i;
            } else {
                ++i;
            }
        }
        return m_s.size();
    }

    // Where the block opened at `brace` ends: its closing brace, or the end.
    std::size_t blockEnd(std::size_t brace) const {
        int level = 0;
        for (std::size_t i = brace; i < m_s.size();) {
            i = findOutside(i, "{}");
            if (i >= m_s.size()) {
                break;
            }
            level += m_s[i] == '{' ? 1 : -1;
            if (level == 0) {
                return i;
            }
            ++i;
        }
        return m_s.size();
    }

    static std::string clean(std::string_view text) {
        return text.find("/*") == std::string_view::npos ? std::string(text)
                                                         : withoutComments(text);
    }

    void atRule() {
        std::size_t p = m_p + 1;
        std::string name;
        readIdentifier(m_s, p, name);
        name = ascii::lowered(name);
        const std::size_t stop = findOutside(p, "{;}");
        if (stop >= m_s.size() || m_s[stop] == ';') {
            m_p = stop + 1; // a statement: @import, @charset, @namespace, @layer a, b;
            return;
        }
        if (m_s[stop] == '}') {
            m_p = stop; // an unfinished at-rule inside a group ends with it
            return;
        }
        const std::string prelude = clean(m_s.substr(p, stop - p));
        bool enter = false;
        if (name == "media") {
            enter = mediaMatches(prelude);
        } else if (name == "supports") {
            // The conditions are about features browsers have; only a
            // negated one is taken as false.
            enter = ascii::trimmed(prelude).substr(0, 3) != "not";
        } else if (name == "layer" || name == "container") {
            enter = true;
        }
        if (enter) {
            ++m_openGroups;
            m_p = stop + 1;
        } else {
            m_p = blockEnd(stop) + 1;
        }
    }

    void styleRule(const std::function<void(std::string_view, std::string_view)>& rule) {
        const std::size_t brace = findOutside(m_p, "{}");
        if (brace >= m_s.size()) {
            m_p = brace; // a prelude without a block is dropped
            return;
        }
        if (m_s[brace] == '}') {
            m_p = brace; // junk before the end of a group
            return;
        }
        const std::size_t end = blockEnd(brace);
        const std::string prelude = clean(m_s.substr(m_p, brace - m_p));
        rule(prelude, m_s.substr(brace + 1, end - brace - 1));
        m_p = end + 1;
    }

    std::string_view m_s;
    std::size_t m_p = 0;
    long m_openGroups = 0;
};

} // namespace

void forEachStyleRule(std::string_view sheet,
                      const std::function<void(std::string_view, std::string_view)>& rule) {
    Scanner(sheet).run(rule);
}

} // namespace vt::css
