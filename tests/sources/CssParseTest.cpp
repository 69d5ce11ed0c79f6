// Style sheet reading on its own: media queries, selectors, and sheets that
// are broken or hostile. Broken sheets must be read as browsers read them,
// and none may crash or hang.

#include "QtPrinting.h"
#include "sources/html/HtmlParse.h"
#include "sources/style/CssDeclarations.h"
#include "sources/style/CssSelector.h"
#include "sources/style/MediaQuery.h"
#include "sources/style/PageStyles.h"
#include "sources/text/RenderedText.h"
#include "support/html/HtmlText.h"

#include <gtest/gtest.h>
#include <gumbo.h>

using vt::renderedTextOfUtf8;
using vt::css::mediaMatches;

namespace {

QString withSheet(const QByteArray& css, const char* body = "<p class=\"a\">text</p>after") {
    return renderedTextOfUtf8("<style>" + css + "</style>" + body);
}

std::size_t rulesIn(const QByteArray& css) {
    vt::PageStyles styles;
    styles.addStyleSheet(std::string_view(css.constData(), static_cast<std::size_t>(css.size())));
    return styles.ruleCount();
}

TEST(MediaQuery, MatchesAWideColourScreen) {
    for (const char* yes : {"",
                            "all",
                            "screen",
                            "SCREEN",
                            "only screen",
                            "not print",
                            "screen, print",
                            "print, (min-width: 1000px)",
                            "(min-width: 1280px)",
                            "(max-width: 1280px)",
                            "(width: 1280px)",
                            "(min-width: 75em)",
                            "(min-height: 700px)",
                            "(orientation:landscape)",
                            "(min-aspect-ratio: 16/10)",
                            "(color)",
                            "(min-color: 4)",
                            "(hover: hover)",
                            "(pointer: fine)",
                            "(prefers-reduced-motion: no-preference)",
                            "(width > 1000px)",
                            "(1000px < width <= 1280px)",
                            "not (max-width: 600px)",
                            "(monochrome: 0)",
                            "screen and (min-width: 768px) and (max-width: 2000px)",
                            "((min-width: 1px))",
                            "(min-width: 1px) or (max-width: 1px)",
                            "(-webkit-min-device-pixel-ratio: 1)"}) {
        EXPECT_TRUE(mediaMatches(yes)) << yes;
    }
    for (const char* no : {"print",
                           "speech",
                           "not screen",
                           "(max-width: 600px)",
                           "(min-width: 1281px)",
                           "(max-height: 500px)",
                           "(orientation: portrait)",
                           "(monochrome)",
                           "(prefers-color-scheme: dark)",
                           "(width < 1280px)",
                           "(hover: none)",
                           "(min-resolution: 2dppx)",
                           "(min-resolution: 192dpi)",
                           "unknown",
                           "(unknown-feature)",
                           "screen and (max-width: 1023px)",
                           "(min-width: 600px) and (max-width: 900px)",
                           "not all and (monochrome: 0)",
                           "(min-width: 10foo)",
                           "(",
                           "screen and",
                           ","}) {
        EXPECT_FALSE(mediaMatches(no)) << no;
    }
}

TEST(Selectors, ValidityFollowsTheBrowsers) {
    std::vector<vt::css::ComplexSelector> out;
    for (const char* valid :
         {"div", "*", ".a.b", "#x", "a[href]", "[a=\"b\" i]", "ul > li + li ~ li", "a b c",
          "li:nth-child(-n+3)", "li:nth-child( 2n + 1 )", ":not(.a, .b)", ":is(a, b)", "a:hover",
          "p::before", "*|p", "svg|rect", "a, b , c"}) {
        EXPECT_TRUE(vt::css::parseSelectorList(valid, out)) << valid;
    }
    for (const char* invalid : {"", ",", "a,", "#1a", ".", "[a", "[a=]", "a >", "> a", "p:unknown",
                                "p::", ":nth-child(2n3)", ":not(a b)", "a ! b",
                                ":is(:not(:is(:not(:is(:not(:is(:not(:is(a)))))))))"}) {
        EXPECT_FALSE(vt::css::parseSelectorList(invalid, out)) << invalid;
    }
}

TEST(Selectors, SpecificityCountsIdsClassesAndTypes) {
    const auto specificity = [](const char* text) {
        std::vector<vt::css::ComplexSelector> out;
        EXPECT_TRUE(vt::css::parseSelectorList(text, out)) << text;
        return out.empty() ? 0u : out.front().specificity;
    };
    EXPECT_EQ(specificity("#a"), 1u << 20);
    EXPECT_EQ(specificity("div.b[c]"), 2u << 10 | 1u);
    EXPECT_EQ(specificity("ul li:first-child"), 1u << 10 | 2u);
    EXPECT_EQ(specificity(":is(#a, .b) p"), 1u << 20 | 1u);
    EXPECT_EQ(specificity(":where(#a) p"), 1u);
    EXPECT_EQ(specificity(":not(.x)"), 1u << 10);
}

TEST(Declarations, OnlyValidValuesOfOurPropertiesCount) {
    using vt::css::Keyword;
    using vt::css::Property;
    const auto d = vt::css::parseDeclarations(
        "color: red; DISPLAY : Inline-Block ; visibility: maybe; float: left !important; "
        "float: right; position: var(--p); white-space: pre-line !imp; text-transform: "
        "/* c */ uppercase; content: \"a;display:none\"");
    EXPECT_EQ(d.get(Property::Display), Keyword::InlineBlock);
    EXPECT_FALSE(d.has(Property::Visibility));
    EXPECT_EQ(d.get(Property::Float), Keyword::Left);
    EXPECT_TRUE(d.isImportant(Property::Float));
    EXPECT_FALSE(d.has(Property::Position));
    EXPECT_FALSE(d.has(Property::WhiteSpace));
    EXPECT_EQ(d.get(Property::TextTransform), Keyword::Uppercase);
}

TEST(MalformedCss, IsReadAsBrowsersReadIt) {
    // An unterminated comment, string or block ends with the sheet.
    EXPECT_EQ(withSheet(".a{display:none} /* .a{display:block}"), "after");
    EXPECT_EQ(withSheet(".a{display:none"), "after");
    EXPECT_EQ(withSheet(".a{content:\"x;display:block}"), "text\n\nafter");
    EXPECT_EQ(withSheet("@media screen { .a{display:none}"), "after");
    // A bad string ends at the line's end; the declaration is dropped, the
    // block goes on.
    EXPECT_EQ(withSheet(".a{content:\"x\n;display:none}"), "after");
    // Stray braces and junk make a rule of their own, up to the next block;
    // a stray brace spoils the rule it starts.
    EXPECT_EQ(withSheet("}} garbage ;; { } .a{display:none}"), "after");
    EXPECT_EQ(withSheet("@media screen { } } .a{display:none}"), "text\n\nafter");
    EXPECT_EQ(withSheet("@import \"x.css\" .a{display:none}"), "text\n\nafter");
    // Invalid UTF-8 in a sheet spoils only its own rule.
    EXPECT_EQ(withSheet("\xFF\xFE{display:none} .a{display:none} .\xC3{display:none}"), "after");
    // Markup-like comment delimiters around a sheet are ignored.
    EXPECT_EQ(withSheet("<!-- .a{display:none} -->"), "after");
}

TEST(MalformedCss, HugeAndDeepSheetsEnd) {
    QByteArray manyRules;
    for (int i = 0; i < 100000; ++i) {
        manyRules += ".r" + QByteArray::number(i) + " .x > b{display:none}";
    }
    EXPECT_EQ(rulesIn(manyRules), 100000u);
    EXPECT_EQ(withSheet(manyRules + ".a{display:none}"), "after");

    // A 1 MB selector: far longer than any real one, so it is dropped.
    const QByteArray longSelector = QByteArray(".a ").repeated(350000) + "{display:none}";
    EXPECT_EQ(rulesIn(longSelector), 0u);
    EXPECT_EQ(withSheet(longSelector), "text\n\nafter");
    // A 1 MB selector list is many selectors, each matched.
    const QByteArray longList = QByteArray(".z, ").repeated(250000) + ".a{display:none}";
    EXPECT_EQ(rulesIn(longList), 250001u);
    EXPECT_EQ(withSheet(longList), "after");

    // 100,000 nested @media blocks, matching and not.
    EXPECT_EQ(withSheet(QByteArray("@media screen{").repeated(100000) + ".a{display:none}"),
              "after");
    EXPECT_EQ(withSheet(QByteArray("@media print{").repeated(100000) + ".a{display:none}"),
              "text\n\nafter");
    // Deeply nested functions and brackets.
    EXPECT_EQ(withSheet(QByteArray(":is(:not(").repeated(200000) + ".a{display:none}"),
              "text\n\nafter");
    EXPECT_EQ(withSheet(QByteArray("a{b{[(").repeated(200000)), "text\n\nafter");
    EXPECT_EQ(withSheet("@media " + QByteArray("(").repeated(200000) + "{.a{display:none}}"),
              "text\n\nafter");
    const QByteArray manyNots = QByteArray("not ").repeated(100000) + "(color)";
    EXPECT_FALSE(mediaMatches(manyNots.toStdString()));
}

const GumboNode* elementWithId(const GumboNode* node, std::string_view id) {
    std::vector<const GumboNode*> stack{node};
    while (!stack.empty()) {
        const GumboNode* n = stack.back();
        stack.pop_back();
        if (n->type != GUMBO_NODE_ELEMENT) {
            continue;
        }
        const GumboAttribute* attribute = gumbo_get_attribute(&n->v.element.attributes, "id");
        if (attribute && id == attribute->value) {
            return n;
        }
        for (unsigned i = 0; i < n->v.element.children.length; ++i) {
            stack.push_back(static_cast<const GumboNode*>(n->v.element.children.data[i]));
        }
    }
    return nullptr;
}

// The styles of a document are read once and serve the rendering of any of
// its elements, which inherits from the element's ancestors.
TEST(PageStyles, ServeTheRenderingOfAnyElement) {
    const vt::ParsedHtml document(
        "<style>.n{display:none} .u{text-transform:uppercase} .h{visibility:hidden}"
        ".v{visibility:visible}</style><div class=\"u\"><p id=\"part\">keep <b class=\"n\">"
        "drop</b></p></div><div class=\"h\">x<p id=\"hidden\">gone <i class=\"v\">seen</i>"
        "</p></div>");
    const vt::PageStyles styles(document.documentElement());
    EXPECT_EQ(styles.ruleCount(), 4u);
    const GumboNode* part = elementWithId(document.documentElement(), "part");
    const GumboNode* hidden = elementWithId(document.documentElement(), "hidden");
    ASSERT_TRUE(part && hidden);
    EXPECT_EQ(vt::renderedTextOf(part, styles), "KEEP");
    EXPECT_EQ(vt::renderedTextOf(hidden, styles), "seen");
    EXPECT_EQ(vt::renderedTextOf(part), "KEEP"); // reading the sheets itself
    EXPECT_EQ(vt::renderedTextOf(document.documentElement(), styles), "KEEP\n\nseen");
}

} // namespace
