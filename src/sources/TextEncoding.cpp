#include "sources/TextEncoding.h"

#include "core/TextCodec.h"

#include <QHash>
#include <QStringDecoder>
#include <initializer_list>

namespace vt {

namespace {

struct LabelGroup {
    const char* encoding;
    std::initializer_list<const char*> labels;
};

// The labels browsers accept for each encoding.
const QHash<QByteArray, QString>& labelTable() {
    static const QHash<QByteArray, QString> table = [] {
        const LabelGroup groups[] = {
            {"UTF-8",
             {"unicode-1-1-utf-8", "unicode11utf8", "unicode20utf8", "utf-8", "utf8",
              "x-unicode20utf8"}},
            {"IBM866", {"866", "cp866", "csibm866", "ibm866"}},
            {"ISO-8859-2",
             {"csisolatin2", "iso-8859-2", "iso-ir-101", "iso8859-2", "iso88592", "iso_8859-2",
              "iso_8859-2:1987", "l2", "latin2"}},
            {"ISO-8859-3",
             {"csisolatin3", "iso-8859-3", "iso-ir-109", "iso8859-3", "iso88593", "iso_8859-3",
              "iso_8859-3:1988", "l3", "latin3"}},
            {"ISO-8859-4",
             {"csisolatin4", "iso-8859-4", "iso-ir-110", "iso8859-4", "iso88594", "iso_8859-4",
              "iso_8859-4:1988", "l4", "latin4"}},
            {"ISO-8859-5",
             {"csisolatincyrillic", "cyrillic", "iso-8859-5", "iso-ir-144", "iso8859-5", "iso88595",
              "iso_8859-5", "iso_8859-5:1988"}},
            {"ISO-8859-6",
             {"arabic", "asmo-708", "csiso88596e", "csiso88596i", "csisolatinarabic", "ecma-114",
              "iso-8859-6", "iso-8859-6-e", "iso-8859-6-i", "iso-ir-127", "iso8859-6", "iso88596",
              "iso_8859-6", "iso_8859-6:1987"}},
            {"ISO-8859-7",
             {"csisolatingreek", "ecma-118", "elot_928", "greek", "greek8", "iso-8859-7",
              "iso-ir-126", "iso8859-7", "iso88597", "iso_8859-7", "iso_8859-7:1987",
              "sun_eu_greek"}},
            {"ISO-8859-8",
             {"csiso88598e", "csisolatinhebrew", "hebrew", "iso-8859-8", "iso-8859-8-e",
              "iso-ir-138", "iso8859-8", "iso88598", "iso_8859-8", "iso_8859-8:1988", "visual"}},
            {"ISO-8859-8-I", {"csiso88598i", "iso-8859-8-i", "logical"}},
            {"ISO-8859-10",
             {"csisolatin6", "iso-8859-10", "iso-ir-157", "iso8859-10", "iso885910", "l6",
              "latin6"}},
            {"ISO-8859-13", {"iso-8859-13", "iso8859-13", "iso885913"}},
            {"ISO-8859-14", {"iso-8859-14", "iso8859-14", "iso885914"}},
            {"ISO-8859-15",
             {"csisolatin9", "iso-8859-15", "iso8859-15", "iso885915", "iso_8859-15", "l9"}},
            {"ISO-8859-16", {"iso-8859-16"}},
            {"KOI8-R", {"cskoi8r", "koi", "koi8", "koi8-r", "koi8_r"}},
            {"KOI8-U", {"koi8-ru", "koi8-u"}},
            {"macintosh", {"csmacintosh", "mac", "macintosh", "x-mac-roman"}},
            {"windows-874",
             {"dos-874", "iso-8859-11", "iso8859-11", "iso885911", "tis-620", "windows-874"}},
            {"windows-1250", {"cp1250", "windows-1250", "x-cp1250"}},
            {"windows-1251", {"cp1251", "windows-1251", "x-cp1251"}},
            {"windows-1252",
             {"ansi_x3.4-1968", "ascii", "cp1252", "cp819", "csisolatin1", "ibm819", "iso-8859-1",
              "iso-ir-100", "iso8859-1", "iso88591", "iso_8859-1", "iso_8859-1:1987", "l1",
              "latin1", "us-ascii", "windows-1252", "x-cp1252"}},
            {"windows-1253", {"cp1253", "windows-1253", "x-cp1253"}},
            {"windows-1254",
             {"cp1254", "csisolatin5", "iso-8859-9", "iso-ir-148", "iso8859-9", "iso88599",
              "iso_8859-9", "iso_8859-9:1989", "l5", "latin5", "windows-1254", "x-cp1254"}},
            {"windows-1255", {"cp1255", "windows-1255", "x-cp1255"}},
            {"windows-1256", {"cp1256", "windows-1256", "x-cp1256"}},
            {"windows-1257", {"cp1257", "windows-1257", "x-cp1257"}},
            {"windows-1258", {"cp1258", "windows-1258", "x-cp1258"}},
            {"x-mac-cyrillic", {"x-mac-cyrillic", "x-mac-ukrainian"}},
            {"GBK",
             {"chinese", "csgb2312", "csiso58gb231280", "gb2312", "gb_2312", "gb_2312-80", "gbk",
              "iso-ir-58", "x-gbk"}},
            {"gb18030", {"gb18030"}},
            {"Big5", {"big5", "big5-hkscs", "cn-big5", "csbig5", "x-x-big5"}},
            {"EUC-JP", {"cseucpkdfmtjapanese", "euc-jp", "x-euc-jp"}},
            {"ISO-2022-JP", {"csiso2022jp", "iso-2022-jp"}},
            {"Shift_JIS",
             {"csshiftjis", "ms932", "ms_kanji", "shift-jis", "shift_jis", "sjis", "windows-31j",
              "x-sjis"}},
            {"EUC-KR",
             {"cseuckr", "csksc56011987", "euc-kr", "iso-ir-149", "korean", "ks_c_5601-1987",
              "ks_c_5601-1989", "ksc5601", "ksc_5601", "windows-949"}},
            {"replacement",
             {"csiso2022kr", "hz-gb-2312", "iso-2022-cn", "iso-2022-cn-ext", "iso-2022-kr",
              "replacement"}},
            {"UTF-16BE", {"unicodefffe", "utf-16be"}},
            {"UTF-16LE",
             {"csunicode", "iso-10646-ucs-2", "ucs-2", "unicode", "unicodefeff", "utf-16",
              "utf-16le"}},
            {"x-user-defined", {"x-user-defined"}},
        };
        QHash<QByteArray, QString> t;
        for (const LabelGroup& group : groups) {
            for (const char* label : group.labels) {
                t.insert(QByteArray(label), QString::fromLatin1(group.encoding));
            }
        }
        return t;
    }();
    return table;
}

bool isAsciiWhitespace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

bool startsWithNoCase(QByteArrayView bytes, qsizetype at, QByteArrayView what) {
    if (at + what.size() > bytes.size()) {
        return false;
    }
    for (qsizetype i = 0; i < what.size(); ++i) {
        if (asciiLower(bytes[at + i]) != what[i]) {
            return false;
        }
    }
    return true;
}

// The ICU converter name for an encoding whose browser name ICU reads differently.
QByteArray converterName(const EncodingName& encoding) {
    if (encoding == u"GBK") {
        return "GB18030"; // browsers decode GBK with the gb18030 decoder
    }
    if (encoding == u"Big5") {
        return "Big5-HKSCS";
    }
    if (encoding == u"EUC-KR") {
        return "windows-949";
    }
    if (encoding == u"ISO-8859-8-I") {
        return "ISO-8859-8";
    }
    return encoding.toLatin1();
}

QString decodeUserDefined(QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        text[i] = QChar(b < 0x80 ? char16_t(b) : char16_t(0xF780 + b - 0x80));
    }
    return text;
}

// UTF-8 decoding as browsers do it: each maximal invalid sequence becomes
// one U+FFFD (Qt's decoder can give one per byte).
QString decodeUtf8(QByteArrayView bytes) {
    if (bytes.isValidUtf8()) {
        return QString::fromUtf8(bytes);
    }
    QString out;
    out.reserve(bytes.size());
    char32_t codePoint = 0;
    int needed = 0;
    int seen = 0;
    unsigned lower = 0x80;
    unsigned upper = 0xBF;
    for (qsizetype i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (needed == 0) {
            ++i;
            if (b <= 0x7F) {
                out.append(QChar(b));
            } else if (b >= 0xC2 && b <= 0xDF) {
                needed = 1;
                codePoint = b & 0x1F;
            } else if (b >= 0xE0 && b <= 0xEF) {
                lower = b == 0xE0 ? 0xA0 : 0x80;
                upper = b == 0xED ? 0x9F : 0xBF;
                needed = 2;
                codePoint = b & 0x0F;
            } else if (b >= 0xF0 && b <= 0xF4) {
                lower = b == 0xF0 ? 0x90 : 0x80;
                upper = b == 0xF4 ? 0x8F : 0xBF;
                needed = 3;
                codePoint = b & 0x07;
            } else {
                out.append(QChar::ReplacementCharacter);
            }
            continue;
        }
        if (b < lower || b > upper) {
            // The byte starts over; the broken sequence counts once.
            needed = seen = 0;
            lower = 0x80;
            upper = 0xBF;
            out.append(QChar::ReplacementCharacter);
            continue;
        }
        lower = 0x80;
        upper = 0xBF;
        codePoint = (codePoint << 6) | (b & 0x3F);
        ++i;
        if (++seen == needed) {
            out.append(QString::fromUcs4(&codePoint, 1));
            needed = seen = 0;
        }
    }
    if (needed != 0) {
        out.append(QChar::ReplacementCharacter);
    }
    return out;
}

bool hasNonAscii(QByteArrayView bytes) {
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return true;
        }
    }
    return false;
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
                       (isAsciiWhitespace(m_bytes[m_pos + 5]) || m_bytes[m_pos + 5] == '/')) {
                m_pos += 6;
                const EncodingName found = metaCharset();
                if (!found.isEmpty()) {
                    return found;
                }
            } else if (startsTag()) {
                while (m_pos < m_bytes.size() && !isAsciiWhitespace(m_bytes[m_pos]) &&
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
        while (m_pos < n && (isAsciiWhitespace(m_bytes[m_pos]) || m_bytes[m_pos] == '/')) {
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
            if (isAsciiWhitespace(c)) {
                break;
            }
            if (c == '/' || c == '>') {
                return true;
            }
            m_attribute.name.append(asciiLower(c));
        }
        while (m_pos < n && isAsciiWhitespace(m_bytes[m_pos])) {
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
        while (m_pos < n && isAsciiWhitespace(m_bytes[m_pos])) {
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
                m_attribute.value.append(asciiLower(m_bytes[m_pos]));
            }
            return false;
        }
        if (first == '>') {
            return true;
        }
        for (; m_pos < n; ++m_pos) {
            const char c = m_bytes[m_pos];
            if (isAsciiWhitespace(c) || c == '>') {
                return true;
            }
            m_attribute.value.append(asciiLower(c));
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
            while (pos < n && isAsciiWhitespace(value[pos])) {
                ++pos;
            }
            if (pos >= n || value[pos] != '=') {
                continue;
            }
            ++pos;
            while (pos < n && isAsciiWhitespace(value[pos])) {
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
            while (end < n && !isAsciiWhitespace(value[end]) && value[end] != ';') {
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

EncodingName encodingForLabel(QByteArrayView label) {
    QByteArray key = label.trimmed().toByteArray().toLower();
    return labelTable().value(key);
}

QByteArray charsetFromContentType(QByteArrayView contentType) {
    const QList<QByteArray> parts = contentType.toByteArray().split(';');
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QByteArray part = parts[i].trimmed();
        const qsizetype eq = part.indexOf('=');
        if (eq < 0 || part.left(eq).trimmed().toLower() != "charset") {
            continue;
        }
        QByteArray value = part.mid(eq + 1).trimmed();
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front()) {
            value = value.mid(1, value.size() - 2);
        }
        return value;
    }
    return {};
}

EncodingName encodingFromByteOrderMark(QByteArrayView bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        return QStringLiteral("UTF-8");
    }
    if (bytes.startsWith("\xFE\xFF")) {
        return QStringLiteral("UTF-16BE");
    }
    if (bytes.startsWith("\xFF\xFE")) {
        return QStringLiteral("UTF-16LE");
    }
    return {};
}

EncodingName prescanForMetaCharset(QByteArrayView bytes) {
    return Prescanner(bytes).run();
}

EncodingName sniffEncoding(QByteArrayView bytes, QByteArrayView transportLabel, DocumentKind kind) {
    if (EncodingName bom = encodingFromByteOrderMark(bytes); !bom.isEmpty()) {
        return bom;
    }
    if (EncodingName transport = encodingForLabel(transportLabel); !transport.isEmpty()) {
        return transport;
    }
    if (kind == DocumentKind::Html) {
        if (EncodingName meta = prescanForMetaCharset(bytes); !meta.isEmpty()) {
            return meta;
        }
    }
    // Browsers may guess here; valid UTF-8 beyond ASCII is almost never anything else.
    if (hasNonAscii(bytes) && bytes.isValidUtf8()) {
        return QStringLiteral("UTF-8");
    }
    return QStringLiteral("windows-1252");
}

QString decodeText(QByteArrayView bytes, const EncodingName& encoding) {
    if (encoding == u"UTF-8") {
        if (bytes.startsWith("\xEF\xBB\xBF")) {
            bytes = bytes.sliced(3);
        }
        return decodeUtf8(bytes);
    }
    if (encoding == u"windows-1252" || encoding.isEmpty()) {
        return decodeWindows1252(bytes.toByteArray());
    }
    if (encoding == u"x-user-defined") {
        return decodeUserDefined(bytes);
    }
    if (encoding == u"replacement") {
        return bytes.isEmpty() ? QString() : QString(QChar::ReplacementCharacter);
    }
    if ((encoding == u"UTF-16BE" && bytes.startsWith("\xFE\xFF")) ||
        (encoding == u"UTF-16LE" && bytes.startsWith("\xFF\xFE"))) {
        bytes = bytes.sliced(2);
    }
    QStringDecoder decoder(converterName(encoding).constData(), QStringDecoder::Flag::Stateless);
    if (!decoder.isValid()) {
        return decodeWindows1252(bytes.toByteArray());
    }
    return decoder.decode(bytes);
}

QByteArray toUtf8Document(const QByteArray& bytes, QByteArrayView transportLabel) {
    const EncodingName encoding = sniffEncoding(bytes, transportLabel, DocumentKind::Html);
    if (encoding == u"UTF-8") {
        const QByteArray body = bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
        if (QByteArrayView(body).isValidUtf8()) {
            return body;
        }
    }
    return decodeText(bytes, encoding).toUtf8();
}

} // namespace vt
