#include "QtPrinting.h"
#include "sources/html/nesting/NestingLimit.h"
#include "support/html/HtmlText.h"

#include <QThread>
#include <gtest/gtest.h>

using vt::renderedText;
using vt::renderedTextOfUtf8;

namespace {

QString text(const char* html) {
    return renderedTextOfUtf8(QByteArray(html));
}

struct Case {
    const char* html;
    const char* expected; // UTF-8
};

void expectAll(std::initializer_list<Case> cases) {
    for (const Case& c : cases) {
        EXPECT_EQ(text(c.html), QString::fromUtf8(c.expected)) << "for " << c.html;
    }
}

TEST(RenderedText, ParagraphsAndHeadingsBreakLines) {
    expectAll({
        {"<p>one</p><p>two</p>", "one\n\ntwo"},
        {"<h1>Title</h1><p>para</p>text", "Title\n\npara\n\ntext"},
        {"<h2>A</h2><h3>B</h3>", "A\nB"},
        {"<div>a</div><div>b</div>c", "a\nb\nc"},
        {"<div><p>nested</p></div><div>next</div>", "nested\n\nnext"},
        {"<p>a<div>b</div>c</p>", "a\n\nb\nc"}, // the div closes the p
        {"<blockquote>q</blockquote><section><article>s</article></section>", "q\ns"},
        {"<p></p><p> </p><p>only</p><p></p>", "only"},
        {"<main><header>h</header><nav>n</nav><footer>f</footer></main>", "h\nn\nf"},
    });
}

TEST(RenderedText, BrGivesALineFeedOfItsOwn) {
    expectAll({
        {"a<br>b", "a\nb"},
        {"a<br><br>b", "a\n\nb"},
        {"<p>a<br></p><p>b</p>", "a\n\n\nb"},
        {"a <br> b", "a\nb"},
        {"<br>start", "\nstart"},
    });
}

TEST(RenderedText, TablesUseTabsAndLineFeeds) {
    expectAll({
        {"<table><tr><td>1</td><td>2</td></tr><tr><td>3</td><td>4</td></tr></table>", "1\t2\n3\t4"},
        {"<table>\n <tr>\n  <th> Name </th>\n  <th>Age</th>\n </tr>\n</table>after",
         "Name\tAge\nafter"},
        {"<p>before</p><table><caption>Cap</caption><tr><td>x</td></tr></table>",
         "before\n\nCap\nx"},
        {"<table><tr><td>a<td><td>c</table>", "a\t\tc"},
        {"<table><tfoot><tr><td>foot</td></tr></tfoot><tbody><tr><td>body</td></tr></tbody>"
         "</table>",
         "foot\nbody"},
        {"<table><tr><td>a</td><td style=\"display:none\">hidden</td></tr></table>", "a"},
        {"<div style=\"display:table-row\"><span style=\"display:table-cell\">x</span>"
         "<span style=\"display:table-cell\">y</span></div>",
         "x\ty"},
    });
}

TEST(RenderedText, ListsPutEachItemOnALine) {
    expectAll({
        {"<ul><li>one<li>two</ul><ol><li>three</li></ol>", "one\ntwo\nthree"},
        {"<dl><dt>term</dt><dd>meaning</dd></dl>", "term\nmeaning"},
        {"<ul>\n  <li> spaced </li>\n  <li>\n    item\n  </li>\n</ul>", "spaced\nitem"},
    });
}

TEST(RenderedText, PreformattedTextKeepsItsWhiteSpace) {
    expectAll({
        {"<pre>  a\n   b  </pre>", "  a\n   b  "},
        {"<pre>\nfirst line</pre>", "first line"}, // the parser drops the first line feed
        {"<p>x</p><pre>\tcode  here\n</pre><p>y</p>", "x\n\n\tcode  here\n\n\ny"},
        {"<listing> l  i </listing><xmp> <b>x</b> </xmp>", " l  i \n <b>x</b> "},
        {"<plaintext>  <p>raw", "  <p>raw"},
        {"<span style=\"white-space:pre\">a   b</span>", "a   b"},
        {"<div style=\"white-space: pre-line\">a   b\n  c</div>", "a b\nc"},
    });
}

TEST(RenderedText, HiddenThingsContributeNothing) {
    expectAll({
        {"<p hidden>hidden</p>shown", "shown"},
        {"<div hidden=\"hidden\">x</div><span hidden>y</span>z", "z"},
        {"<input type=\"hidden\" value=\"v\"><input value=\"w\">text", "text"},
        {"<dialog>closed</dialog><dialog open>open</dialog>", "open"},
        {"<details><summary>Sum</summary>inside</details>", "Sum"},
        {"<details open><summary>Sum</summary>inside</details>", "Sum\ninside"},
        {"<datalist><option>o</option></datalist><noembed>e</noembed>x", "x"},
        {"<p hidden style=\"display:block\">overridden</p>", "overridden"},
        {"<ruby>kan<rp>(</rp><rt>kan</rt><rp>)</rp></ruby>", "kankan"},
    });
}

TEST(RenderedText, ScriptsStylesTemplatesAndTheTitleAreNotText) {
    expectAll({
        {"<html><head><title>Title</title><style>p{}</style><script>var x = '<p>';</script>"
         "</head><body><p>body</p><script>document.write('x')</script>"
         "<template><p>t</p></template></body></html>",
         "body"},
        {"<noscript><p>No scripts</p></noscript>", "No scripts"},
        {"a<!-- comment -->b", "ab"},
        {"<svg><title>icon</title><text>label</text></svg>text", "text"},
    });
}

TEST(RenderedText, InlineStyleDisplayAndVisibilityAreHonoured) {
    expectAll({
        {"<div style=\"display:none\">gone</div>kept", "kept"},
        {"<div style=\"color: red; DISPLAY : None !important\">gone</div>kept", "kept"},
        {"<span style=\"visibility:hidden\">gone <b style=\"visibility:visible\">back</b></span>",
         "back"},
        {"<div style=\"visibility:hidden\">a</div><div>b</div>", "b"},
        {"<span style=\"display:block\">a</span><span style=\"display:block\">b</span>", "a\nb"},
        {"<div style=\"display:inline\">a</div><div style=\"display:inline\">b</div>", "ab"},
        {"<div style=\"display: nonsense\">a</div><div>b</div>", "a\nb"},
        {"<p style=\"/* display:none */\">comment only</p>", "comment only"},
    });
}

TEST(RenderedText, SelectShowsItsOptionsOnLines) {
    expectAll({
        {"Pick <select><option>Red</option><option selected>Green</option></select> now",
         "Pick\nRed\nGreen\nnow"},
        {"<select><optgroup label=\"L\"><option>A</option></optgroup><option>B</select>", "A\nB"},
    });
}

TEST(RenderedText, WhiteSpaceCollapses) {
    expectAll({
        {"  lots   of \n\n spaces  ", "lots of spaces"},
        {"a <b> b </b> c", "a b c"},
        {"<div> a <span> </span> b </div>", "a b"},
        {"a\t\tb\r\nc", "a b c"},
        {"<p>  lead and trail  </p>", "lead and trail"},
        {"x <button> OK </button> y", "x OK y"},
        {"a <img src=\"i.png\" alt=\"alt text\"> b", "a  b"},
    });
}

TEST(RenderedText, EntitiesAndNoBreakSpaces) {
    expectAll({
        {"Tom &amp; Jerry &lt;3 &quot;q&quot; &copy; &euro;", "Tom & Jerry <3 \"q\" © €"},
        {"a&nbsp;&nbsp;&nbsp;b", "a\u00A0\u00A0\u00A0b"},
        {"<p>&nbsp;</p><p>x</p>", "\u00A0\n\nx"},
        {"&#x41;&#66;&#0; &bogus; &amp", "AB\uFFFD &bogus; &"},
        {"&notit; &not;", "\u00ACit; \u00AC"}, // a legacy entity needs no semicolon
        {"caf&eacute; na&iuml;ve", "café naïve"},
    });
}

TEST(RenderedText, TagsTheParserDoesNotKnowAreReadFromTheText) {
    expectAll({
        {"<search>find</search><picture>pic</picture>after", "find\npicafter"},
        {"<my-widget>custom</my-widget> tag", "custom tag"},
        {"<DIALOG OPEN>Loud</DIALOG>", "Loud"},
    });
}

TEST(RenderedText, DecodesByTheSniffedEncoding) {
    EXPECT_EQ(renderedText("<meta charset=\"iso-8859-1\"><p>caf\xE9 \x80</p>"),
              QString::fromUtf8("café €"));
    EXPECT_EQ(renderedText("<p>caf\xE9</p>", "utf-8"), QString::fromUtf8("caf\uFFFD"));
    EXPECT_EQ(renderedText("<p>\xC3\xA9t\xC3\xA9</p>"), QString::fromUtf8("été")); // undeclared
    const QByteArray utf16("\xFF\xFE<\0p\0>\0h\0\xE9\0<\0/\0p\0>\0", 20);
    EXPECT_EQ(renderedText(utf16, ""), QString::fromUtf8("hé"));
}

// Bytes that are not UTF-8 become U+FFFD; NUL bytes in text are dropped as
// browsers drop them; nothing ends the document early.
TEST(RenderedText, InvalidUtf8AndNulBytesAreSurvived) {
    const QByteArray broken("<p>a\xFF\xFE b\xC3 c\xE2\x82 d</p><p>after</p>");
    EXPECT_EQ(renderedText(broken, "utf-8"),
              QString::fromUtf8("a\uFFFD\uFFFD b\uFFFD c\uFFFD d\n\nafter"));
    const QByteArray nuls("<p>x\0y</p>\0<p>z<title>t\0</title></p>", 37);
    const QString result = renderedText(nuls, "utf-8");
    EXPECT_EQ(result, "xy\n\nz");
    EXPECT_FALSE(result.contains(QChar(0)));
}

TEST(RenderedText, ManyUnclosedSpansGiveTheirText) {
    QByteArray html;
    while (html.size() < 240 * 1024) {
        html += "<span>w";
    }
    const QString result = renderedTextOfUtf8(html);
    EXPECT_EQ(result, QString(html.count("<span>"), u'w'));
}

TEST(RenderedText, ManyUnclosedFormattingTagsGiveTheirText) {
    QByteArray html;
    for (int i = 0; i < 50000; ++i) {
        html += "<b>x<i>y";
    }
    EXPECT_EQ(renderedTextOfUtf8(html), QString("xy").repeated(50000));
}

// 40,000 nested elements, walked on a thread with a small stack: neither the
// parser's tree nor our walk may recurse per level.
TEST(RenderedText, DeepNestingNeitherCrashesNorLosesText) {
    QByteArray html;
    QString expected;
    for (int i = 0; i < 40000; ++i) {
        html += "<div>" + QByteArray::number(i);
        expected += QString::number(i) + (i + 1 < 40000 ? "\n" : "");
    }
    QString result;
    QThread* thread = QThread::create([&] { result = renderedTextOfUtf8(html); });
    thread->setStackSize(256 * 1024);
    thread->start();
    thread->wait();
    delete thread;
    EXPECT_EQ(result, expected);
}

TEST(RenderedText, NestingIsLimitedOnlyWhereItIsDeep) {
    const QByteArray shallow = "<div><p>a<span>b</span></p><ul><li>c<li>d</ul></div>";
    EXPECT_EQ(vt::limitNesting(shallow, 8), shallow);
    // Implied end tags keep long flat lists shallow.
    QByteArray items = "<ul>";
    for (int i = 0; i < 100; ++i) {
        items += "<li><p>item";
    }
    EXPECT_EQ(vt::limitNesting(items, 8), items);
    // Past the limit, no more elements open; their content stays where it is.
    const QByteArray deep = "<div><div><div><div>x<div>y</div></div>";
    EXPECT_EQ(vt::limitNesting(deep, 2), "<div><div><div><br>x<br>y</div></div>");
    // Formatting elements count once no later adoption can lift them out:
    // the last three alike stay in the list of active formatting elements.
    const QByteArray inline_ = QByteArray("<b>").repeated(8) + "x";
    EXPECT_EQ(vt::limitNesting(inline_, 2), QByteArray("<b>").repeated(6) + "x");
    // Markup inside raw text and comments does not count.
    const QByteArray raw = "<div><script><div><div><div></script><!-- <div><div> --><div>x";
    EXPECT_EQ(vt::limitNesting(raw, 2), raw);
}

} // namespace
