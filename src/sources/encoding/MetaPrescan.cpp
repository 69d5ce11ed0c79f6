#include "core/AsciiText.h"
#include "sources/encoding/TextEncoding.h"

#include <QList>
#include <string_view>

// The <meta> prescan of the first 1024 bytes, as browsers run it.
namespace vt {

namespace {

bool startsWithNoCase(QByteArrayView bytes, qsizetype at, std::string_view lowerWhat) {
    if (at > bytes.size()) {
        return false;
    }
    const QByteArrayView rest = bytes.sliced(at);
    return ascii::startsWithNoCase(
        std::string_view(rest.data(), static_cast<std::size_t>(rest.size())), lowerWhat);
}

// One attribute of a tag during the prescan.
struct PrescanAttribute {
    QByteArray name;
    QByteArray value;
};

class Prescanner {
  public:
    explicit Prescanner(QByteArrayView bytes) : m_bytes(bytes.first(qMin(bytes.size(), 1024))) {}

    EncodingName run() {
        while (m_pos < m_bytes.size()) {
            if (startsWithNoCase(m_bytes, m_pos, "<!--")) {
                skipComment();
            } else if (startsWithNoCase(m_bytes, m_pos, "<meta") && m_pos + 5 < m_bytes.size() &&
                       (ascii::isSpace(m_bytes[m_pos + 5]) || m_bytes[m_pos + 5] == '/')) {
                m_pos += 6;
                const EncodingName found = metaCharset();
                if (!found.isEmpty()) {
                    return found;
                }
            } else if (startsTag()) {
                while (m_pos < m_bytes.size() && !ascii::isSpace(m_bytes[m_pos]) &&
                       m_bytes[m_pos] != '>') {
                    ++m_pos;
                }
                while (nextAttribute()) {
                }
            } else if (startsWithNoCase(m_bytes, m_pos, "<!") ||
                       startsWithNoCase(m_bytes, m_pos, "</") ||
                       startsWithNoCase(m_bytes, m_pos, "<?")) {
                while (m_pos < m_bytes.size() && m_bytes[m_pos] != '>') {
                    ++m_pos;
                }
            }
            ++m_pos;
        }
        return {};
    }

  private:
    static bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

    bool startsTag() const {
        if (m_bytes[m_pos] != '<') {
            return false;
        }
        qsizetype next = m_pos + 1;
        if (next < m_bytes.size() && m_bytes[next] == '/') {
            ++next;
        }
        return next < m_bytes.size() && isLetter(m_bytes[next]);
    }

    void skipComment() {
        // Ends at the first '>' preceded by two dashes, counting the opening ones.
        qsizetype i = m_pos + 2;
        while (i < m_bytes.size()) {
            if (m_bytes[i] == '>' && i >= m_pos + 4 && m_bytes[i - 1] == '-' &&
                m_bytes[i - 2] == '-') {
                break;
            }
            ++i;
        }
        m_pos = i;
    }

    EncodingName metaCharset() {
        QList<QByteArray> seen;
        bool gotPragma = false;
        enum class Need { Unknown, Yes, No } needPragma = Need::Unknown;
        EncodingName charset;
        bool charsetSet = false;
        while (nextAttribute()) {
            if (seen.contains(m_attribute.name)) {
                continue;
            }
            seen.append(m_attribute.name);
            if (m_attribute.name == "http-equiv") {
                gotPragma = gotPragma || m_attribute.value == "content-type";
            } else if (m_attribute.name == "content") {
                const QByteArray label = charsetFromMetaContent(m_attribute.value);
                if (!label.isNull() && !charsetSet) {
                    charset = encodingForLabel(label);
                    charsetSet = true;
                    needPragma = Need::Yes;
                }
            } else if (m_attribute.name == "charset") {
                charset = encodingForLabel(m_attribute.value);
                charsetSet = true;
                needPragma = Need::No;
            }
        }
        if (needPragma == Need::Unknown || (needPragma == Need::Yes && !gotPragma) ||
            charset.isEmpty()) {
            return {};
        }
        if (charset == u"UTF-16BE" || charset == u"UTF-16LE") {
            return QStringLiteral("UTF-8");
        }
        if (charset == u"x-user-defined") {
            return QStringLiteral("windows-1252");
        }
        return charset;
    }

    // Reads the next attribute into m_attribute; false at '>' or the end.
    bool nextAttribute() {
        const qsizetype n = m_bytes.size();
        while (m_pos < n && (ascii::isSpace(m_bytes[m_pos]) || m_bytes[m_pos] == '/')) {
            ++m_pos;
        }
        if (m_pos >= n || m_bytes[m_pos] == '>') {
            return false;
        }
        m_attribute = {};
        for (;; ++m_pos) {
            if (m_pos >= n) {
                return false;
            }
            const char c = m_bytes[m_pos];
            if (c == '=' && !m_attribute.name.isEmpty()) {
                ++m_pos;
                return readValue();
            }
            if (ascii::isSpace(c)) {
                break;
            }
            if (c == '/' || c == '>') {
                return true;
            }
            m_attribute.name.append(ascii::lower(c));
        }
        while (m_pos < n && ascii::isSpace(m_bytes[m_pos])) {
            ++m_pos;
        }
        if (m_pos >= n) {
            return false;
        }
        if (m_bytes[m_pos] != '=') {
            return true;
        }
        ++m_pos;
        return readValue();
    }

    bool readValue() {
        const qsizetype n = m_bytes.size();
        while (m_pos < n && ascii::isSpace(m_bytes[m_pos])) {
            ++m_pos;
        }
        if (m_pos >= n) {
            return false;
        }
        const char first = m_bytes[m_pos];
        if (first == '"' || first == '\'') {
            for (++m_pos; m_pos < n; ++m_pos) {
                if (m_bytes[m_pos] == first) {
                    ++m_pos;
                    return true;
                }
                m_attribute.value.append(ascii::lower(m_bytes[m_pos]));
            }
            return false;
        }
        if (first == '>') {
            return true;
        }
        for (; m_pos < n; ++m_pos) {
            const char c = m_bytes[m_pos];
            if (ascii::isSpace(c) || c == '>') {
                return true;
            }
            m_attribute.value.append(ascii::lower(c));
        }
        return false;
    }

    // The charset named in a content attribute ("text/html; charset=x"); null when none.
    static QByteArray charsetFromMetaContent(const QByteArray& value) {
        qsizetype pos = 0;
        const qsizetype n = value.size();
        for (;;) {
            const qsizetype at = value.indexOf("charset", pos);
            if (at < 0) {
                return {};
            }
            pos = at + 7;
            while (pos < n && ascii::isSpace(value[pos])) {
                ++pos;
            }
            if (pos >= n || value[pos] != '=') {
                continue;
            }
            ++pos;
            while (pos < n && ascii::isSpace(value[pos])) {
                ++pos;
            }
            if (pos >= n) {
                return {};
            }
            const char quote = value[pos];
            if (quote == '"' || quote == '\'') {
                const qsizetype end = value.indexOf(quote, pos + 1);
                return end < 0 ? QByteArray() : value.mid(pos + 1, end - pos - 1);
            }
            qsizetype end = pos;
            while (end < n && !ascii::isSpace(value[end]) && value[end] != ';') {
                ++end;
            }
            return value.mid(pos, end - pos);
        }
    }

    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
    PrescanAttribute m_attribute;
};

} // namespace

EncodingName prescanForMetaCharset(QByteArrayView bytes) {
    return Prescanner(bytes).run();
}

} // namespace vt
