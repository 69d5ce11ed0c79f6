// Style sheet syntax: how a sheet's tokens make rules, and how broken ones
// recover. Each expectation is what a browser renders for the sheet over the
// same three paragraphs.

#include "QtPrinting.h"
#include "support/html/HtmlText.h"

#include <gtest/gtest.h>

namespace {

struct SheetCase {
    const char* name;
    const char* sheet;
    const char* rendered;
};

QString rendered(const char* sheet) {
    return vt::renderedTextOfUtf8(QByteArray("<!DOCTYPE html><style>") + sheet +
                                  "</style><p class=a>a</p><p class=b>b</p><p class=c>c</p>");
}

// Blocks, bad strings and bad URLs, markup comment delimiters and the ways
// a broken rule takes its neighbours with it.
TEST(CssSyntax, RulesAreTheOnesABrowserFinds) {
    const SheetCase cases[] = {
        {"cdata-lines", "<![CDATA[\n.a{display:none}\n.b{text-transform:uppercase}\n]]>",
         "a\n\nb\n\nc"},
        {"cdata-in-comments",
         "/*<![CDATA[*/\n.a{display:none}\n.b{text-transform:uppercase}\n/*]]>*/", "B\n\nc"},
        {"cdata", "<![CDATA[ .a{display:none} ]]>", "a\n\nb\n\nc"},
        {"cdata-after", "<![CDATA[ .a{display:none} ]]> .b{display:none}", "a\n\nb\n\nc"},
        {"cdata-unterminated", "<![CDATA[ .a{display:none}", "a\n\nb\n\nc"},
        {"cdata-in-comment-delims", "<!--<![CDATA[ .a{display:none} ]]>-->\n.b{display:none}",
         "a\n\nb\n\nc"},
        {"cdo-cdc-top", "<!-- .a{display:none} --> .b{display:none}", "c"},
        {"cdo-in-media", "@media screen { <!-- .a{display:none} .b{display:none} }", "a\n\nc"},
        {"stray-brace", "} .a{display:none} .b{display:none}", "a\n\nc"},
        {"bad-url-decl", ".x{background:url(a\"b{c);display:none} .a{display:none}", "b\n\nc"},
        {"url-brace", ".x{background:url(a{b)} .a{display:none}", "b\n\nc"},
        {"bad-string-prelude", ".a, \"x\n.b{display:none} .c{display:none}", "a\n\nb"},
        {"semicolon-media", "@media screen { ; .a{display:none} .b{display:none} }", "a\n\nc"},
        {"semicolon-top", "foo; .a{display:none} .b{display:none}", "a\n\nc"},
        {"nested-rule", ".a{ span{} display:none } .b{ b:hover{x:y} display:none }", "c"},
        {"custom-prop-prelude", "--x:{} .a{display:none}", "b\n\nc"},
        {"square", ".c[{]{display:none} .a{display:none}", "a\n\nb\n\nc"},
        {"paren", ".c:not(.x{display:none} .a{display:none}", "a\n\nb\n\nc"},
        {"at-in-media", "@media screen { @foo } .a{display:none} } .b{display:none}", "b\n\nc"},
        {"comment-brace", ".a/* { */{display:none} .b{display:/*}*/none}", "c"},
        {"important-spaced", ".a{display:none ! IMPORTANT} .a{display:block}", "b\n\nc"},
        {"bang-other", ".a{display:none !ie}", "a\n\nb\n\nc"},
        {"escaped-brace", ".c\\{ .a{display:none} .b{display:none}", "a\n\nc"},
        {"string-brace", ".x{content:\"}\"; display:none} .a{display:none}", "b\n\nc"},
        {"at-import-block", "@import url(x.css) .b{display:none}; .a{display:none}", "a\n\nb\n\nc"},
        {"dimension-url", ".x{width:1url(a\"b); display:none} .a{display:none}", "a\n\nb\n\nc"},
    };
    for (const SheetCase& c : cases) {
        EXPECT_EQ(rendered(c.sheet), QString::fromUtf8(c.rendered)) << c.name;
    }
}

} // namespace
