// The nesting limit leaves every document alone whose tree is within it, so
// the text is always gumbo's own; and it bounds documents that nest deeper,
// however their markup tries to hide it.
#include "sources/html/nesting/NestingLimit.h"

#include "QtPrinting.h"
#include "sources/text/RenderedText.h"
#include "support/html/HtmlText.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <gumbo.h>
#include <vector>

namespace {

// gumbo's text of the document exactly as it is (no nesting limit).
QString unlimitedText(const QByteArray& html) {
    std::vector<void*> blocks;
    GumboOptions options = kGumboDefaultOptions;
    options.max_errors = 0;
    options.allocator = [](void* list, std::size_t size) {
        void* block = std::malloc(size);
        static_cast<std::vector<void*>*>(list)->push_back(block);
        return block;
    };
    options.deallocator = [](void*, void*) {};
    options.userdata = &blocks;
    GumboOutput* output =
        gumbo_parse_with_options(&options, html.constData(), static_cast<std::size_t>(html.size()));
    const QString text = vt::renderedTextOf(output->root);
    for (void* block : blocks) {
        std::free(block);
    }
    return text;
}

int count(const QByteArray& text, const QByteArray& what) {
    return static_cast<int>(text.count(what));
}

// Each within the limit, each once misread by an earlier pre-pass.
TEST(NestingLimit, DocumentsWithinTheLimitKeepGumbosText) {
    const QByteArray bs = QByteArray("<b>").repeated(300);
    const std::vector<QByteArray> documents = {
        // The parser ignores formatting tags inside a select.
        "<div><select>" + bs + "</select>after</div>more",
        "<p>x<select><option>" + bs + "o</select>y</p>",
        // Raw text made visible by a style attribute.
        "<style style='display:contents'>shown? <div></style>text",
        "<style style=\"display:block\">p { color: red }</style><p>x</p>",
        "<script style=\"display:block\">var s = '<div>';</script><p>after</p>",
        // A quote after an attribute's '=' that is not the start of a value.
        "<a =\">x<div><div>y</div></div></a>z\"",
        "<div title='a\"b'><div>c</div></div>d",
        "<p>a<b>b<p>c</b>d</p>e",
        "<ul><li>a<li>b<ol><li>c</ol>d</ul><dl><dt>t<dd>d<dt>u</dl>",
        "<h1>a<h2>b</h1>c<form><form>d</form>e",
        "<b>1<p>2</b>3</p>4<a>5<a>6</a>7",
        "<svg><title><div>t</div></title></svg><math><mi>m</mi></math>x",
        "<table><tr><td>a<td>b<tr><td>c</table>d",
        "<!-- <div> --><div>a<!--->b<!-- -- --!>c</div>",
        "<textarea><div></textarea><xmp><b></xmp><title><i></title>x",
        "<noscript><b>ns</b></noscript><template><div>t</div></template>y",
        "<plaintext><div>all text",
    };
    for (const QByteArray& document : documents) {
        EXPECT_EQ(vt::limitNesting(document), document) << document.constData();
        EXPECT_EQ(vt::renderedTextOfUtf8(document), unlimitedText(document))
            << document.constData();
    }
}

// Hiding markup from the nesting limit used to switch it off for the rest.
TEST(NestingLimit, AQuoteAfterAnEqualsSignDoesNotHideTheNesting) {
    const QByteArray page = "<a =\">x" + QByteArray("<div>").repeated(100000) + "end";
    const QByteArray limited = vt::limitNesting(page);
    EXPECT_LE(count(limited, "<div>"), vt::MaxNestingDepth + 2);
    EXPECT_TRUE(vt::renderedTextOfUtf8(page).endsWith("end"));
}

// 16 MB of unclosed <b> would take gigabytes as a tree.
TEST(NestingLimit, UnclosedFormattingTagsStayShallow) {
    const QByteArray page = QByteArray("<b>x").repeated(1000000) + "<p>end";
    const QByteArray limited = vt::limitNesting(page);
    EXPECT_LE(count(limited, "<b>"), vt::MaxNestingDepth + 4);
    EXPECT_EQ(count(limited, "x"), 1000000); // no text is lost
    const QString text = vt::renderedTextOfUtf8(page);
    EXPECT_TRUE(text.startsWith("xxx"));
    EXPECT_TRUE(text.endsWith("x\nend")); // the p, past the limit, became a line break
}

// Past the limit, blocks still keep their lines apart.
TEST(NestingLimit, DeepBlocksKeepTheirLines) {
    QByteArray page;
    for (int i = 0; i < 1000; ++i) {
        page += "<div>" + QByteArray::number(i);
    }
    const QStringList lines = vt::renderedTextOfUtf8(page).split('\n');
    ASSERT_EQ(lines.size(), 1000);
    EXPECT_EQ(lines.last(), "999");
}

} // namespace
