#include "TextCodec.h"

#include <array>

namespace vt {

namespace {

constexpr std::array<char16_t, 32> HighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

char16_t windows1252Char(unsigned char code) {
    if (code >= 0x80 && code < 0xA0) {
        return HighControls[code - 0x80];
    }
    return code;
}

int windows1252Code(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        return c;
    }
    for (std::size_t i = 0; i < HighControls.size(); ++i) {
        if (HighControls[i] == c) {
            return static_cast<int>(0x80 + i);
        }
    }
    return -1;
}

QString decodeWindows1252(const QByteArray& bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        out[i] = QChar(windows1252Char(static_cast<unsigned char>(bytes[i])));
    }
    return text;
}

QByteArray encodeWindows1252(const QString& text, bool* ok) {
    QByteArray bytes(text.size(), Qt::Uninitialized);
    bool allFit = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int code = windows1252Code(text[i].unicode());
        if (code < 0) {
            allFit = false;
            bytes[i] = '?';
        } else {
            bytes[i] = static_cast<char>(code);
        }
    }
    if (ok) {
        *ok = allFit;
    }
    return bytes;
}

bool isValidUtf8(const QByteArray& bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int extra = 0;
        unsigned min = 0;
        unsigned cp = 0;
        if ((c & 0xE0) == 0xC0) {
            extra = 1;
            cp = c & 0x1F;
            min = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            cp = c & 0x0F;
            min = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            cp = c & 0x07;
            min = 0x10000;
        } else {
            return false;
        }
        if (i + extra >= n) {
            return false;
        }
        for (int k = 1; k <= extra; ++k) {
            if ((p[i + k] & 0xC0) != 0x80) {
                return false;
            }
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            return false;
        }
        i += extra + 1;
    }
    return true;
}

QString decodeTextFile(const QByteArray& bytes) {
    if (isValidUtf8(bytes)) {
        QString text = QString::fromUtf8(bytes);
        if (text.startsWith(QChar(0xFEFF))) {
            text.remove(0, 1);
        }
        return text;
    }
    return decodeWindows1252(bytes);
}

QByteArray encodeTextFile(const QString& text) {
    bool fits = false;
    QByteArray bytes = encodeWindows1252(text, &fits);
    // Bytes that would read back as UTF-8 (e.g. "Ã©") are saved as UTF-8
    // instead, so loading gives back the same text.
    const bool misreadAsUtf8 = fits && isValidUtf8(bytes) && QString::fromUtf8(bytes) != text;
    return fits && !misreadAsUtf8 ? bytes : text.toUtf8();
}

} // namespace vt
