#include "sources/LeanMarkup.h"

#include "QtPrinting.h"
#include "sources/HtmlParse.h"
#include "sources/RenderedText.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using vt::ParsedHtml;

namespace {

QString rendered(const QByteArray& html, ParsedHtml::Input input) {
    const ParsedHtml document(html, input);
    return vt::renderedTextOf(document.documentElement());
}

TEST(LeanMarkup, DropsWhatCannotShow) {
    const QByteArray html =
        "<html lang=en><head><script type=\"module\">if (a<b) x = '</p>';</script>"
        "<style media=print>p { color: red }</style></head><body class=\"x\">"
        "<!-- a comment --><p id=\"p1\" hidden data-x='1>2'>t</p><br/></body></html>";
    EXPECT_EQ(vt::leanMarkup(html),
              QByteArray("<html><head><script></script><style></style></head><body class=\"x\">"
                         "<!----><p id=\"p1\" hidden>t</p><br /></body></html>"));
}

TEST(LeanMarkup, FollowsScriptEscapes) {
    // Inside "<!--" a "<script>" hides the next "</script>" until "-->".
    const QByteArray html = "<script><!-- <script> </script> --></script><p>after</p>";
    EXPECT_EQ(vt::leanMarkup(html), QByteArray("<script></script><p>after</p>"));
    const QByteArray escaped = "<script><!-- x </script><p>shown</p>";
    EXPECT_EQ(vt::leanMarkup(escaped), QByteArray("<script></script><p>shown</p>"));
}

TEST(LeanMarkup, GivesUpWhereTheTreeDecides) {
    EXPECT_FALSE(vt::leanMarkup("<select><style>x</style></select>"));
    EXPECT_FALSE(vt::leanMarkup("<svg><p>out</p></svg>"));
    EXPECT_FALSE(vt::leanMarkup("<svg><title><b>x</b></title></svg>"));
    EXPECT_FALSE(vt::leanMarkup("<frameset><frame></frameset>"));
    EXPECT_TRUE(vt::leanMarkup("<svg viewBox=\"0 0 1 1\"><title>icon</title><path d=\"M0\"/></svg>"
                               "<select name=n><option>a<option>b</select>"));
}

// Tricky pieces whose parse depends on exact tokenizing. Documents made of
// them must render the same whether or not the parser gets the lean copy.
const char* const Pieces[] = {
    "<p>para</p>",
    "text ",
    "<div class=\"a\" style=\"display:none\">hidden div</div>",
    "<span style='visibility:hidden'>vh</span>",
    "<p hidden>hidden p</p>",
    "<script>var s = '<p>not text</p>';</script>",
    "<script><!-- if (a) { document.write('<script>x<\\/script>') } </script>",
    "<script><!--<script></script>--></script>",
    "<script><!-- x --></script>",
    "<script>a<!--->b</script>",
    "<SCRIPT type=text/javascript>x</SCRIPT >",
    "</script>",
    "<style>p:before{content:'</p>'}</style>",
    "<style>a</styles>b</style>",
    "<!-- comment <p>not</p> -->",
    "<!-->",
    "<!--->",
    "<!-- x --!> after bang",
    "<!---- x ---->",
    "<!doctype html>",
    "<!bogus > comment>",
    "<?php echo 1 ?>",
    "</ not a tag>",
    "</>",
    "<a href=\"x>y\" title='q\"'>link</a>",
    "<a href=x>y</a>",
    "<b =\"x\" >weird</b>",
    "<i a=b/>after self-closing i</i>",
    "<img src=x alt=\"<p>\">",
    "<br style=color:red/>",
    "<input type=hidden value=v><input type=\"HIDDEN\">",
    "<table><tr><td>c1<td>c2</table>",
    "<table><input type=hidden><tr><td>x</td></tr></table>",
    "<table><style>t{}</style><tr><td>y</tr></table>",
    "<textarea><p>in textarea</p></textarea>",
    "<title>a <b> title</title>",
    "<xmp><b>xmp</b></xmp>",
    "<iframe><p>frame</p></iframe>",
    "<noembed>ne</noembed>",
    "<noscript><p>nos</p></noscript>",
    "<pre>\npre text</pre>",
    "<pre><script></script>\nkept line</pre>",
    "<select><option>o1<option>o2</select>",
    "<select><optgroup label=g><option>o3</optgroup></select>",
    "<svg><title>icon</title><path d=\"M0 0\"/></svg>",
    "<svg><style><![CDATA[ a > b ]]></style><text>svg text</text></svg>",
    "<math><mi>x</mi></math>",
    "<svg><desc><p>escape</p></desc></svg>",
    "<svg></div></svg>",
    "<template><p>tpl</p></template>",
    "<details><summary>sum</summary>body</details>",
    "<dialog open>dlg</dialog>",
    "<b><b><b><b>bold",
    "</b></b>",
    "<b class=1><b class=2><b class=3><b class=4>x</b></b></b></b>",
    "<p><b>x<p>y</b>z",
    "<ul><li>one<li>two</ul>",
    "<plaintext><p>plain",
    "<div style=\"white-space:pre\">  pre  </div>",
    "a &amp; b &lt;c&gt;",
    "<font color=red>f</font>",
    "<frameset></frameset>",
    "<div",
    "<p title=\"unterminated",
    "<!-- unterminated",
    "<script>unterminated",
};

QByteArray randomDocument(QRandomGenerator& random) {
    QByteArray html;
    const int count = 1 + random.bounded(12);
    for (int i = 0; i < count; ++i) {
        html += Pieces[random.bounded(int(std::size(Pieces)))];
        if (random.bounded(4) == 0) {
            html += random.bounded(2) ? " " : "\n";
        }
    }
    return html;
}

TEST(LeanMarkup, RendersExactlyLikeTheDocumentItself) {
    for (const char* piece : Pieces) {
        EXPECT_EQ(rendered(piece, ParsedHtml::Input::Lean),
                  rendered(piece, ParsedHtml::Input::AsIs))
            << piece;
    }
    QRandomGenerator random(7);
    int rewritten = 0;
    for (int i = 0; i < 4000; ++i) {
        const QByteArray html = randomDocument(random);
        rewritten += vt::leanMarkup(html).has_value();
        ASSERT_EQ(rendered(html, ParsedHtml::Input::Lean), rendered(html, ParsedHtml::Input::AsIs))
            << html.toStdString();
    }
    EXPECT_GT(rewritten, 1000); // the comparison mostly covers real rewrites
}

} // namespace
