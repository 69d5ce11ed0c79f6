#include "QtPrinting.h"
#include "sources/encoding/TextEncoding.h"
#include "sources/fetch/PageContent.h"

#include <gtest/gtest.h>

using vt::DocumentKind;

namespace {

TEST(Encoding, LabelsMeanWhatTheyMeanToBrowsers) {
    const std::pair<const char*, const char*> cases[] = {
        {"utf-8", "UTF-8"},
        {" UTF8 ", "UTF-8"},
        {"latin1", "windows-1252"},
        {"ISO-8859-1", "windows-1252"},
        {"us-ascii", "windows-1252"},
        {"ascii", "windows-1252"},
        {"Shift_JIS", "Shift_JIS"},
        {"x-sjis", "Shift_JIS"},
        {"gb2312", "GBK"},
        {"iso-8859-9", "windows-1254"},
        {"utf-16", "UTF-16LE"},
        {"koi8-r", "KOI8-R"},
        {"iso-2022-kr", "replacement"},
        {"euc-kr", "EUC-KR"},
        {"tis-620", "windows-874"},
        {"bogus", ""},
        {"", ""},
    };
    for (const auto& [label, encoding] : cases) {
        EXPECT_EQ(vt::encodingForLabel(label), QString(encoding)) << label;
    }
}

TEST(Encoding, ReadsTheCharsetOfAContentType) {
    EXPECT_EQ(vt::charsetFromContentType("text/html; charset=UTF-8"), "UTF-8");
    EXPECT_EQ(vt::charsetFromContentType("text/html;CHARSET=\"Shift_JIS\""), "Shift_JIS");
    EXPECT_EQ(vt::charsetFromContentType("text/html; q=1; charset = latin1 "), "latin1");
    EXPECT_EQ(vt::charsetFromContentType("text/html"), "");
}

TEST(Encoding, ThePrescanFindsMetaDeclarations) {
    const std::pair<const char*, const char*> cases[] = {
        {"<meta charset=\"windows-1251\">", "windows-1251"},
        {"<META CHARSET=koi8-r>", "KOI8-R"},
        {"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=ISO-8859-2\">",
         "ISO-8859-2"},
        {"<meta content='text/html;charset=euc-jp' http-equiv=content-type>", "EUC-JP"},
        // content without the pragma does not count
        {"<meta content=\"text/html; charset=iso-8859-2\">", ""},
        {"<!-- <meta charset=koi8-r> --><meta charset=iso-8859-5>", "ISO-8859-5"},
        {"<p title=\"<meta charset=koi8-r>\"><meta charset=iso-8859-7>", "ISO-8859-7"},
        {"<meta charset=utf-16le>", "UTF-8"},
        {"<meta charset=x-user-defined>", "windows-1252"},
        {"<meta charset=nonsense><meta charset=iso-8859-4>", "ISO-8859-4"},
        {"<metacharset=koi8-r>", ""},
        {"<meta/charset=iso-8859-6>", "ISO-8859-6"},
    };
    for (const auto& [html, encoding] : cases) {
        EXPECT_EQ(vt::prescanForMetaCharset(html), QString(encoding)) << html;
    }
    // Only the first 1024 bytes are looked at.
    const QByteArray late = QByteArray(1024, ' ') + "<meta charset=koi8-r>";
    EXPECT_EQ(vt::prescanForMetaCharset(late), "");
}

TEST(Encoding, SniffsInTheBrowsersOrder) {
    const QByteArray meta = "<meta charset=iso-8859-2><p>x";
    EXPECT_EQ(vt::sniffEncoding("\xEF\xBB\xBF" + meta, "koi8-r", DocumentKind::Html), "UTF-8");
    EXPECT_EQ(vt::sniffEncoding("\xFE\xFF", "", DocumentKind::Html), "UTF-16BE");
    EXPECT_EQ(vt::sniffEncoding(meta, "koi8-r", DocumentKind::Html), "KOI8-R");
    EXPECT_EQ(vt::sniffEncoding(meta, "no-such-label", DocumentKind::Html), "ISO-8859-2");
    EXPECT_EQ(vt::sniffEncoding(meta, "", DocumentKind::PlainText), "windows-1252");
    EXPECT_EQ(vt::sniffEncoding("plain ascii", "", DocumentKind::Html), "windows-1252");
    EXPECT_EQ(vt::sniffEncoding("caf\xC3\xA9", "", DocumentKind::Html), "UTF-8");
    EXPECT_EQ(vt::sniffEncoding("caf\xE9", "", DocumentKind::Html), "windows-1252");
}

TEST(Encoding, DecodesLikeBrowsers) {
    EXPECT_EQ(vt::decodeText("\x93\xfa\x96\x7b", "Shift_JIS"), QString::fromUtf8("日本"));
    EXPECT_EQ(vt::decodeText("\xC4\xE0", "windows-1251"), QString::fromUtf8("Да"));
    EXPECT_EQ(vt::decodeText("\x80\x9F", "windows-1252"), QString::fromUtf8("\u20AC\u0178"));
    EXPECT_EQ(vt::decodeText("\xEF\xBB\xBFok", "UTF-8"), "ok");
    // Only the first byte order mark is taken off; the decoder keeps a second.
    const QString zeroWidthNoBreak(QChar(0xFEFF));
    EXPECT_EQ(vt::decodeText("\xEF\xBB\xBF\xEF\xBB\xBFok", "UTF-8"), zeroWidthNoBreak + "ok");
    EXPECT_EQ(vt::decodeText(QByteArray("\xFF\xFE\xFF\xFEo\0", 6), "UTF-16LE"),
              zeroWidthNoBreak + "o");
    // One U+FFFD per broken sequence, not per byte.
    EXPECT_EQ(vt::decodeText("a\xE2\x82z\xF0\x9F\x98", "UTF-8"),
              QString::fromUtf8("a\uFFFDz\uFFFD"));
    EXPECT_EQ(vt::decodeText("\xED\xA0\x80", "UTF-8"), QString::fromUtf8("\uFFFD\uFFFD\uFFFD"));
    EXPECT_EQ(vt::decodeText("a\x80", "x-user-defined"), QString::fromUtf8("a\uF780"));
    EXPECT_EQ(vt::decodeText("anything", "replacement"), QString::fromUtf8("\uFFFD"));
    EXPECT_EQ(vt::decodeText(QByteArray("h\0i\0", 4), "UTF-16LE"), "hi");
}

TEST(PageContentKind, JudgesTypesNamesAndBytes) {
    using vt::ContentKind;
    EXPECT_EQ(vt::judgeContentType("text/html; charset=utf-8").kind, ContentKind::Html);
    EXPECT_EQ(vt::judgeContentType("application/xhtml+xml").kind, ContentKind::Html);
    EXPECT_EQ(vt::judgeContentType("TEXT/PLAIN").kind, ContentKind::PlainText);
    EXPECT_EQ(vt::judgeContentType("").kind, ContentKind::Unknown);
    EXPECT_EQ(vt::judgeContentType("image/jpeg").kind, ContentKind::Refused);
    EXPECT_EQ(vt::judgeContentType("application/json").kind, ContentKind::Refused);
    EXPECT_EQ(vt::judgeFileName("/x/Page.HTM").kind, ContentKind::Html);
    EXPECT_EQ(vt::judgeFileName("/x/readme.txt").kind, ContentKind::PlainText);
    EXPECT_EQ(vt::judgeFileName("/x/data").kind, ContentKind::Unknown);
    EXPECT_EQ(vt::sniffContent("  <!DOCTYPE html><p>x").kind, ContentKind::Html);
    EXPECT_EQ(vt::sniffContent("<div>x</div>").kind, ContentKind::Html);
    EXPECT_EQ(vt::sniffContent("Just words <b>").kind, ContentKind::PlainText);
    EXPECT_EQ(vt::sniffContent("\xFF\xD8\xFF\xE0").kind, ContentKind::Refused);
    EXPECT_EQ(vt::sniffContent("%PDF-1.7").what, "a PDF document");
    EXPECT_EQ(vt::sniffContent(QByteArray("abc\0def", 7)).kind, ContentKind::Refused);
    EXPECT_EQ(vt::sniffContent(QByteArray("\xFF\xFEh\0i\0", 6)).kind, ContentKind::PlainText);
}

} // namespace
