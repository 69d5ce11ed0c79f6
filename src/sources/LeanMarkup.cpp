#include "sources/LeanMarkup.h"

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace vt {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}
bool isAlpha(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

bool equalsNoCase(std::string_view a, std::string_view lowerB) {
    if (a.size() != lowerB.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lowerB[i]) {
            return false;
        }
    }
    return true;
}

bool isOneOf(std::string_view name, std::initializer_list<std::string_view> names) {
    for (const std::string_view candidate : names) {
        if (equalsNoCase(name, candidate)) {
            return true;
        }
    }
    return false;
}

// Attributes the rendering or the tree builder reads; all others go.
bool keepAttribute(std::string_view name) {
    return isOneOf(
        name, {"hidden", "style", "type", "open", "controls", "color", "face", "size", "encoding",
               // what the article finder and the page title read
               "class", "id", "role", "itemprop", "property", "name", "content", "href"});
}

// Start tags that leave foreign content (svg, math) for HTML.
bool breaksOutOfForeignContent(std::string_view name) {
    return isOneOf(name,
                   {"b",       "big",   "blockquote", "body",   "br",     "center", "code", "dd",
                    "div",     "dl",    "dt",         "em",     "embed",  "h1",     "h2",   "h3",
                    "h4",      "h5",    "h6",         "head",   "hr",     "i",      "img",  "li",
                    "listing", "menu",  "meta",       "nobr",   "ol",     "p",      "pre",  "ruby",
                    "s",       "small", "span",       "strong", "strike", "sub",    "sup",  "table",
                    "tt",      "u",     "ul",         "var",    "font"});
}

bool isIntegrationPoint(std::string_view name) {
    return isOneOf(name, {"foreignobject", "desc", "title", "mi", "mo", "mn", "ms", "mtext",
                          "annotation-xml"});
}

struct Tag {
    std::string_view name;
    const char* end = nullptr; // just after '>' (or the end of the input)
    bool complete = false;     // ended by '>'
    bool selfClosing = false;
    std::vector<std::string_view> keptAttributes; // source text of each
};

class Rewriter {
  public:
    explicit Rewriter(const QByteArray& source)
        : m_begin(source.constData()), m_end(source.constData() + source.size()) {
        m_out.reserve(source.size());
    }

    std::optional<QByteArray> run() {
        const char* p = m_begin;
        const char* copied = m_begin; // source up to here is in m_out
        while (p < m_end && !m_failed) {
            const char* lt =
                static_cast<const char*>(std::memchr(p, '<', static_cast<std::size_t>(m_end - p)));
            if (!lt) {
                break;
            }
            m_out.append(copied, lt - copied);
            copied = p = markup(lt);
        }
        if (m_failed) {
            return std::nullopt;
        }
        m_out.append(copied, m_end - copied);
        return m_out;
    }

  private:
    void fail() { m_failed = true; }

    // Rewrites the markup at '<' into m_out; returns where the source goes on.
    const char* markup(const char* lt) {
        const char* next = lt + 1;
        if (next >= m_end) {
            m_out.append('<');
            return next;
        }
        if (*next == '!') {
            return declaration(lt);
        }
        if (*next == '?') {
            return copyThrough(lt, skipPast(next, '>'));
        }
        if (*next == '/') {
            if (next + 1 < m_end && isAlpha(next[1])) {
                return endTag(lt);
            }
            if (next + 1 < m_end && next[1] == '>') {
                return copyThrough(lt, next + 2);
            }
            if (next + 1 >= m_end) {
                return copyThrough(lt, m_end);
            }
            return copyThrough(lt, skipPast(next, '>')); // a bogus comment
        }
        if (isAlpha(*next)) {
            return startTag(lt);
        }
        m_out.append('<');
        return next;
    }

    const char* copyThrough(const char* from, const char* to) {
        m_out.append(from, to - from);
        return to;
    }

    const char* skipPast(const char* from, char c) const {
        const void* at = std::memchr(from, c, static_cast<std::size_t>(m_end - from));
        return at ? static_cast<const char*>(at) + 1 : m_end;
    }

    const char* find(const char* from, std::string_view what) const {
        const std::string_view rest(from, static_cast<std::size_t>(m_end - from));
        const std::size_t at = rest.find(what);
        return at == std::string_view::npos ? nullptr : from + at;
    }

    // "<!--", "<![CDATA[", "<!DOCTYPE" and bogus comments.
    const char* declaration(const char* lt) {
        const char* body = lt + 2;
        if (m_end - body >= 2 && body[0] == '-' && body[1] == '-') {
            const char* end = commentEnd(body + 2);
            if (m_foreign.empty()) {
                m_out.append("<!---->");
                return end;
            }
            return copyThrough(lt, end);
        }
        if (!m_foreign.empty() &&
            std::string_view(body, static_cast<std::size_t>(
                                       std::min<std::ptrdiff_t>(7, m_end - body))) == "[CDATA[") {
            const char* close = find(body + 7, "]]>");
            return copyThrough(lt, close ? close + 3 : m_end);
        }
        return copyThrough(lt, skipPast(body, '>'));
    }

    // Where a comment whose text starts at p ends: "-->", "--!>", or at once
    // for "<!-->" and "<!--->".
    const char* commentEnd(const char* p) const {
        if (p < m_end && *p == '>') {
            return p + 1;
        }
        if (m_end - p >= 2 && p[0] == '-' && p[1] == '>') {
            return p + 2;
        }
        // The first run of two or more dashes followed by '>' or "!>".
        while (p < m_end) {
            const char* dash =
                static_cast<const char*>(std::memchr(p, '-', static_cast<std::size_t>(m_end - p)));
            if (!dash) {
                return m_end;
            }
            const char* c = dash;
            while (c < m_end && *c == '-') {
                ++c;
            }
            if (c - dash >= 2 && c < m_end) {
                if (*c == '>') {
                    return c + 1;
                }
                if (*c == '!' && c + 1 < m_end && c[1] == '>') {
                    return c + 2;
                }
            }
            p = c;
        }
        return m_end;
    }

    // Tokenizes a tag from its name on, as the HTML tokenizer does.
    Tag readTag(const char* nameStart) const {
        Tag tag;
        const char* p = nameStart;
        while (p < m_end && !isSpace(*p) && *p != '/' && *p != '>') {
            ++p;
        }
        tag.name = std::string_view(nameStart, static_cast<std::size_t>(p - nameStart));
        enum class State {
            BeforeName,
            Name,
            AfterName,
            BeforeValue,
            SelfClosing
        } state = State::BeforeName;
        const char* attributeStart = nullptr;
        const char* nameEnd = nullptr;
        auto finishAttribute = [&](const char* end) {
            const std::string_view name(attributeStart,
                                        static_cast<std::size_t>(nameEnd - attributeStart));
            if (keepAttribute(name)) {
                tag.keptAttributes.emplace_back(attributeStart,
                                                static_cast<std::size_t>(end - attributeStart));
            }
        };
        while (p < m_end) {
            const char c = *p;
            switch (state) {
            case State::BeforeName:
                if (isSpace(c)) {
                    ++p;
                } else if (c == '/') {
                    state = State::SelfClosing;
                    ++p;
                } else if (c == '>') {
                    tag.end = p + 1;
                    tag.complete = true;
                    return tag;
                } else {
                    attributeStart = p;
                    state = State::Name;
                    ++p; // the first character, even '=', belongs to the name
                }
                break;
            case State::Name:
                if (isSpace(c) || c == '/' || c == '>') {
                    nameEnd = p;
                    state = State::AfterName;
                } else if (c == '=') {
                    nameEnd = p;
                    state = State::BeforeValue;
                    ++p;
                } else {
                    ++p;
                }
                break;
            case State::AfterName:
                if (isSpace(c)) {
                    ++p;
                } else if (c == '=') {
                    state = State::BeforeValue;
                    ++p;
                } else {
                    finishAttribute(nameEnd);
                    if (c == '/') {
                        state = State::SelfClosing;
                        ++p;
                    } else if (c == '>') {
                        tag.end = p + 1;
                        tag.complete = true;
                        return tag;
                    } else {
                        attributeStart = p;
                        state = State::Name;
                        ++p;
                    }
                }
                break;
            case State::BeforeValue:
                if (isSpace(c)) {
                    ++p;
                } else if (c == '"' || c == '\'') {
                    const char* close = static_cast<const char*>(
                        std::memchr(p + 1, c, static_cast<std::size_t>(m_end - p - 1)));
                    if (!close) {
                        tag.end = m_end;
                        return tag;
                    }
                    p = close + 1;
                    finishAttribute(p);
                    state = State::BeforeName; // after a quoted value
                    if (p < m_end && *p == '/') {
                        state = State::SelfClosing;
                        ++p;
                    }
                } else if (c == '>') {
                    finishAttribute(p);
                    tag.end = p + 1;
                    tag.complete = true;
                    return tag;
                } else {
                    while (p < m_end && !isSpace(*p) && *p != '>') {
                        ++p;
                    }
                    finishAttribute(p);
                    state = State::BeforeName;
                }
                break;
            case State::SelfClosing:
                if (c == '>') {
                    tag.selfClosing = true;
                    tag.end = p + 1;
                    tag.complete = true;
                    return tag;
                }
                state = State::BeforeName; // reconsumed
                break;
            }
        }
        tag.end = m_end;
        return tag;
    }

    void writeStartTag(const Tag& tag) {
        m_out.append('<').append(tag.name.data(), static_cast<qsizetype>(tag.name.size()));
        for (const std::string_view attribute : tag.keptAttributes) {
            m_out.append(' ').append(attribute.data(), static_cast<qsizetype>(attribute.size()));
        }
        // A blank keeps the slash out of an unquoted value before it.
        m_out.append(tag.selfClosing ? " />" : ">");
    }

    const char* startTag(const char* lt) {
        const Tag tag = readTag(lt + 1);
        if (!tag.complete) {
            return copyThrough(lt, m_end); // an unfinished tag at the end is dropped anyway
        }
        const std::string_view name = tag.name;
        if (!m_foreign.empty()) {
            return foreignStartTag(lt, tag);
        }
        if (m_inSelect) {
            if (!isOneOf(name, {"option", "optgroup", "hr"})) {
                fail(); // the select's own rules decide, and they ignore most tags
                return m_end;
            }
            writeStartTag(tag);
            return tag.end;
        }
        if (isOneOf(name, {"frameset"})) {
            fail();
            return m_end;
        }
        if (isOneOf(name, {"svg", "math"})) {
            writeStartTag(tag);
            if (!tag.selfClosing) {
                m_foreign.push_back(name);
            }
            return tag.end;
        }
        if (isOneOf(name, {"select"})) {
            m_inSelect = true;
        }
        if (equalsNoCase(name, "script")) {
            m_out.append("<script>");
            return dropScriptData(tag.end);
        }
        if (equalsNoCase(name, "style")) {
            m_out.append("<style>");
            return dropRawText(tag.end, "style");
        }
        writeStartTag(tag);
        for (const std::string_view kept :
             {"title", "textarea", "xmp", "iframe", "noembed", "noframes"}) {
            if (equalsNoCase(name, kept)) {
                const char* close = rawTextEnd(tag.end, kept);
                m_out.append(tag.end, close - tag.end);
                return close;
            }
        }
        if (equalsNoCase(name, "plaintext")) {
            m_out.append(tag.end, m_end - tag.end);
            return m_end;
        }
        return tag.end;
    }

    const char* foreignStartTag(const char* lt, const Tag& tag) {
        if (breaksOutOfForeignContent(tag.name) || m_integrationDepth > 0) {
            fail(); // HTML rules take over in there
            return m_end;
        }
        if (!tag.selfClosing) {
            m_foreign.push_back(tag.name);
            if (isIntegrationPoint(tag.name)) {
                ++m_integrationDepth;
            }
        }
        return copyThrough(lt, tag.end); // foreign markup stays as it is
    }

    const char* endTag(const char* lt) {
        const Tag tag = readTag(lt + 2);
        if (!tag.complete) {
            return copyThrough(lt, m_end);
        }
        if (!m_foreign.empty()) {
            // Only an end tag of an open foreign element is certain to stay in there.
            for (std::size_t i = m_foreign.size(); i-- > 0;) {
                if (equalsNoCase(m_foreign[i], lowered(tag.name))) {
                    while (m_foreign.size() > i) {
                        if (isIntegrationPoint(m_foreign.back())) {
                            --m_integrationDepth;
                        }
                        m_foreign.pop_back();
                    }
                    return copyThrough(lt, tag.end);
                }
            }
            fail();
            return m_end;
        }
        if (m_inSelect) {
            if (equalsNoCase(tag.name, "select")) {
                m_inSelect = false;
            } else if (!isOneOf(tag.name, {"option", "optgroup"})) {
                fail();
                return m_end;
            }
        }
        m_out.append("</").append(tag.name.data(), static_cast<qsizetype>(tag.name.size()));
        m_out.append('>');
        return tag.end;
    }

    std::string m_lowerBuffer;
    std::string_view lowered(std::string_view name) {
        m_lowerBuffer.assign(name);
        for (char& c : m_lowerBuffer) {
            c = lower(c);
        }
        return m_lowerBuffer;
    }

    // Does "</name" followed by a blank, '/' or '>' start at p?
    bool endTagAt(const char* p, std::string_view name) const {
        if (m_end - p < static_cast<std::ptrdiff_t>(name.size() + 3) || p[0] != '<' ||
            p[1] != '/') {
            return false;
        }
        if (!equalsNoCase(std::string_view(p + 2, name.size()), name)) {
            return false;
        }
        const char after = p[2 + name.size()];
        return isSpace(after) || after == '/' || after == '>';
    }

    // Does "<name" followed by a blank, '/' or '>' start at p?
    bool startTagAt(const char* p, std::string_view name) const {
        if (m_end - p < static_cast<std::ptrdiff_t>(name.size() + 2) || p[0] != '<') {
            return false;
        }
        if (!equalsNoCase(std::string_view(p + 1, name.size()), name)) {
            return false;
        }
        const char after = p[1 + name.size()];
        return isSpace(after) || after == '/' || after == '>';
    }

    // Where the raw text of an element ends: at its end tag, or at the end.
    const char* rawTextEnd(const char* p, std::string_view name) const {
        while (p < m_end) {
            const char* lt =
                static_cast<const char*>(std::memchr(p, '<', static_cast<std::size_t>(m_end - p)));
            if (!lt) {
                return m_end;
            }
            if (endTagAt(lt, name)) {
                return lt;
            }
            p = lt + 1;
        }
        return m_end;
    }

    const char* dropRawText(const char* p, std::string_view name) {
        return rawTextEnd(p, name); // the end tag is copied as the next markup
    }

    // Script data with its escapes: "<!--" escapes, "<script" inside an
    // escape hides "</script>" until "-->".
    const char* dropScriptData(const char* p) {
        enum class State { Data, Escaped, DoubleEscaped } state = State::Data;
        while (p < m_end) {
            switch (state) {
            case State::Data: {
                const char* lt = static_cast<const char*>(
                    std::memchr(p, '<', static_cast<std::size_t>(m_end - p)));
                if (!lt) {
                    return m_end;
                }
                if (endTagAt(lt, "script")) {
                    return lt;
                }
                if (m_end - lt >= 4 && lt[1] == '!' && lt[2] == '-' && lt[3] == '-') {
                    state = State::Escaped;
                    p = lt + 4;
                    while (p < m_end && *p == '-') {
                        ++p; // "<!---->": the dashes may close at once
                    }
                    if (p < m_end && *p == '>') {
                        state = State::Data;
                        ++p;
                    }
                } else {
                    p = lt + 1;
                }
                break;
            }
            case State::Escaped:
            case State::DoubleEscaped: {
                const char* c = p;
                while (c < m_end && *c != '<' && *c != '-') {
                    ++c;
                }
                if (c >= m_end) {
                    return m_end;
                }
                if (*c == '-') {
                    const char* dashes = c;
                    while (c < m_end && *c == '-') {
                        ++c;
                    }
                    if (c - dashes >= 2 && c < m_end && *c == '>') {
                        state = State::Data;
                        ++c;
                    }
                    p = c;
                    break;
                }
                if (state == State::Escaped) {
                    if (endTagAt(c, "script")) {
                        return c;
                    }
                    if (startTagAt(c, "script")) {
                        state = State::DoubleEscaped;
                        p = c + 7;
                        break;
                    }
                } else if (endTagAt(c, "script")) {
                    state = State::Escaped;
                    p = c + 8;
                    break;
                }
                p = c + 1;
                break;
            }
            }
        }
        return m_end;
    }

    const char* m_begin;
    const char* m_end;
    QByteArray m_out;
    std::vector<std::string_view> m_foreign; // open svg and math elements
    int m_integrationDepth = 0;
    bool m_inSelect = false;
    bool m_failed = false;
};

} // namespace

std::optional<QByteArray> leanMarkup(const QByteArray& utf8) {
    return Rewriter(utf8).run();
}

} // namespace vt
