// Rendering rules that change which words are read and how they are cased:
// selectors by element type, the old box layout, an author's display on
// elements a browser hides, the language's own case mapping. Each
// expectation is what a browser's innerText of the page gives with scripts
// off.

#include "QtPrinting.h"
#include "support/html/HtmlText.h"

#include <gtest/gtest.h>

using vt::renderedTextOfUtf8;

namespace {

struct Page {
    const char* name;
    const char* html;
    const char* rendered; // UTF-8
};

template <std::size_t N> void expectPages(const Page (&pages)[N]) {
    for (const Page& page : pages) {
        EXPECT_EQ(renderedTextOfUtf8(QByteArray("<!DOCTYPE html>") + page.html),
                  QString::fromUtf8(page.rendered))
            << page.name;
    }
}

TEST(RenderingRules, SelectorsByTypeCountSiblingsOfTheSameType) {
    const Page pages[] = {
        // a feed hiding its sponsored cards by their place among the cards
        {"feed",
         "<style>.feed > article:nth-of-type(3n+2){display:none}"
         " .feed h3:first-of-type{text-transform:uppercase}</style>"
         "<div class=feed><h3>Top stories</h3><article>One</article><aside>Ad-free</aside>"
         "<article>Sponsored A</article><article>Two</article><h3>More</h3>"
         "<article>Three</article><article>Sponsored B</article><article>Four</article></div>",
         "TOP STORIES\nOne\nAd-free\nTwo\nMore\nThree\nFour"},
        {"first-last",
         "<style>p:first-of-type, p:last-of-type{display:none}</style>"
         "<div><span>s</span><p>a</p><span>t</span><p>b</p><p>c</p><div>d</div></div>",
         "st\n\nb\n\nd"},
        {"only",
         "<style>em:only-of-type{display:none}</style>"
         "<p><em>x</em> <b>y</b> <b>z</b></p><p><em>u</em><em>v</em></p>",
         "y z\n\nuv"},
        {"nth-last",
         "<style>li:nth-last-of-type(-n+2){display:none}</style>"
         "<ul><li>1</li><li>2</li><li>3</li><li>4</li></ul>",
         "1\n2"},
        {"even",
         "<style>div > p:nth-of-type(even){display:none}</style>"
         "<div><h2>H</h2><p>1</p><p>2</p><span>s</span><p>3</p><p>4</p></div>",
         "H\n\n1\n\ns\n\n3"},
        // custom elements are types of their own
        {"unknown-tags",
         "<style>x-card:nth-of-type(2), y-card:first-of-type{display:none}</style>"
         "<div><x-card>a</x-card><y-card>b</y-card><x-card>c</x-card><y-card>d</y-card>"
         "<x-card>e</x-card></div>",
         "ade"},
        // :only-of-type weighs a pseudo-class and a type, more than a class
        {"specificity",
         "<style>p:only-of-type{display:none} .k{display:block}</style>"
         "<div><p class=k>kept</p></div><div><p>gone</p></div><b>end</b>",
         "end"},
        {"inside-not",
         "<style>p:not(:first-of-type){display:none}</style><div><p>a</p><p>b</p></div>", "a"},
    };
    expectPages(pages);
}

TEST(RenderingRules, OldBoxLayoutIsABlockNotFlexItems) {
    const Page pages[] = {
        // line-clamped titles of cards
        {"clamp",
         "<style>.title{display:-webkit-box;-webkit-line-clamp:2;-webkit-box-orient:vertical;"
         "overflow:hidden}</style><div class=card><a class=title href=/a><span>Markets</span>"
         " rally as <b>rates</b> fall</a><p class=title>Second <i>card</i> text</p></div>",
         "Markets rally as rates fall\n\nSecond card text"},
        {"inline",
         "<p>Price: <span style=\"display:-webkit-inline-box;-webkit-line-clamp:1;"
         "-webkit-box-orient:vertical\"><b>12</b> <i>EUR</i></span> today</p>",
         "Price: 12 EUR today"},
        {"blocks-inside",
         "<div style=\"display:-webkit-box;-webkit-line-clamp:3;-webkit-box-orient:vertical\">"
         "<p>a</p><div>b</div>c</div>",
         "a\n\nb\nc"},
    };
    expectPages(pages);
}

TEST(RenderingRules, AnAuthorDisplayShowsScriptsStyleSheetsAndRubyParentheses) {
    const Page pages[] = {
        {"block",
         "<style>script.show{display:block} style{display:block}</style><p>a</p>"
         "<script class=show>var  x = 1;</script><script>hidden()</script>"
         "<style>p { color: red }</style>",
         "a\n\nvar x = 1;\np { color: red }"},
        {"inline", "<p>Code: <script style=\"display:inline\">f(1)</script> done</p>",
         "Code: f(1) done"},
        {"preformatted",
         "<style>script{display:block;white-space:pre}</style><p>x</p>"
         "<script type=text/plain>line 1\n  line 2</script><p>y</p>",
         "x\n\nline 1\n  line 2\n\ny"},
        // in the head, which stays hidden
        {"in-head", "<style>style{display:block}</style><p>x</p>", "x"},
        {"rp",
         "<style>rp{display:inline}</style><p><ruby>漢<rp>(</rp><rt>kan</rt><rp>)</rp></ruby></p>",
         "漢(kan)"},
        {"rp-default", "<p><ruby>漢<rp>(</rp><rt>kan</rt><rp>)</rp></ruby></p>", "漢kan"},
        {"head",
         "<html><head><style>head, title{display:block}</style><title>T</title></head>"
         "<body>b</body></html>",
         "T\nb"},
    };
    expectPages(pages);
}

TEST(RenderingRules, CaseMappingFollowsTheLanguage) {
    const Page pages[] = {
        {"turkish",
         "<html lang=tr><body><h1 style=\"text-transform:uppercase\">istanbul iyi</h1>"
         "<p lang=en style=\"text-transform:uppercase\">istanbul</p>"
         "<p style=\"text-transform:lowercase\">ISPARTA İZMİR</p>"
         "<p style=\"text-transform:capitalize\">izmir istanbul</p></body></html>",
         "İSTANBUL İYİ\n\nISTANBUL\n\nısparta izmir\n\nIzmir Istanbul"},
        {"azerbaijani",
         "<p lang=az-Latn style=\"text-transform:uppercase\">bir iki</p>"
         "<p lang=AZ><span style=\"text-transform:uppercase\">i</span></p>"
         "<p lang=en-TR style=\"text-transform:uppercase\">i</p>"
         "<p lang=\"\" style=\"text-transform:uppercase\">i</p>",
         "BİR İKİ\n\nİ\n\nI\n\nI"},
        {"nearest",
         "<div lang=tr><p lang=de style=\"text-transform:uppercase\">ißi</p>"
         "<p style=\"text-transform:uppercase\">ißi</p></div>",
         "ISSI\n\nİSSİ"},
        {"greek-lithuanian",
         "<p lang=el style=\"text-transform:uppercase\">Άλφα ή όχι</p>"
         "<p lang=lt style=\"text-transform:lowercase\">ĮÌ Ĩ</p>",
         "ΑΛΦΑ Ή ΟΧΙ\n\nįi̇̀ i̇̃"},
    };
    expectPages(pages);
}

TEST(RenderingRules, FirstLineAndFirstLetterCaseTheirText) {
    const Page pages[] = {
        {"line-to-break",
         "<style>p::first-line{text-transform:uppercase}</style><p>first words<br>second line</p>"
         "<p>  <b>bold</b> start<br>x</p>",
         "FIRST WORDS\nsecond line\n\nBOLD START\nx"},
        {"inner-blocks",
         "<style>.y::first-line{text-transform:uppercase}</style><div class=y>text<div>child<br>"
         "two</div><div>third</div></div><div "
         "class=y><div>child<br>two</div><div>third</div></div>",
         "TEXT\nchild\ntwo\nthird\nCHILD\ntwo\nthird"},
        {"block-in-inline-and-pre",
         "<style>.y::first-line{text-transform:uppercase}</style><div "
         "class=y><span>in<div>blk</div>"
         "out</span></div><div class=y><pre>pre\nline</pre></div>",
         "IN\nblk\nout\nPRE\nline"},
        // an inline element's own casing stays; the block's gives way
        {"own-casing",
         "<style>p::first-line{text-transform:uppercase} p{text-transform:lowercase}"
         " span{text-transform:capitalize}</style><p>Mixed <span>inner word</span> End<br>"
         "Next LINE</p>",
         "MIXED Inner Word END\nnext line"},
        {"inner-block-casing",
         "<style>.y::first-line{text-transform:uppercase}</style>"
         "<div class=y><p style=\"text-transform:lowercase\">Child Text</p></div>",
         "CHILD TEXT"},
        {"nested",
         "<style>.y::first-line{text-transform:uppercase} .z::first-line{text-transform:capitalize}"
         "</style><div class=y><p class=z>child text</p></div><div class=z><p class=y>child "
         "text</p>"
         "</div>",
         "Child Text\n\nCHILD TEXT"},
        {"atomic-inline",
         "<style>.y::first-line{text-transform:uppercase}</style><p class=y>w <button>btn</button>"
         " after<br>c</p>",
         "W btn after\nc"},
        {"hidden-on-the-line",
         "<style>.y::first-line{text-transform:uppercase}</style><p class=y><span "
         "style=\"display:none\">hid</span>shown<br>x</p><p class=y><!-- c -->  <span> </span> "
         "s<br>x</p><p class=y><span style=\"visibility:hidden\">hid</span>shown<br>x</p>",
         "SHOWN\nx\n\nS\nx\n\nSHOWN\nx"},
        {"positioned-aside",
         "<style>.y::first-line{text-transform:uppercase}</style><div class=y><p "
         "style=\"position:absolute\">abs</p>text</div>",
         "abs\n\nTEXT"},
        {"not-inline-nor-flex",
         "<style>span::first-line, .f::first-line{text-transform:uppercase}</style>"
         "<span>inline elem</span><div class=f style=\"display:flex\"><span>f1</span>"
         "<span>f2</span></div>",
         "inline elem\nF1\nF2"},
        {"letters",
         "<style>.y::first-letter{text-transform:uppercase}</style><p class=y><b>bold</b></p>"
         "<p class=y>  <i></i>x</p><p class=y>...abc</p><p class=y>(a) b</p><div class=y><p>para"
         "</p></div><p class=y>ǆ</p><p class=y>ﬁx</p>",
         "Bold\n\nX\n\n...Abc\n\n(A) b\n\nPara\n\nǄ\n\nFIx"},
        {"letter-over-element",
         "<style>.y::first-letter{text-transform:uppercase}</style>"
         "<p class=y style=\"text-transform:lowercase\">ABC</p><ul><li class=y>li</ul>"
         "<table><tr><td class=y>cell</td></tr></table>",
         "Abc\n\nLi\nCell"},
        {"letter-after-object",
         "<style>.x::first-letter{text-transform:uppercase}</style><p class=x><img src=a.png>word"
         "</p><p class=x><br>after</p><div class=x><span style=\"float:left\">fl</span>text</div>",
         "word\n\n\nafter\n\nfl\nText"},
    };
    expectPages(pages);
}

TEST(RenderingRules, GeneratedContentIsNotReadButKeepsTheSpacesAroundIt) {
    const Page pages[] = {
        {"icon",
         "<style>.icon::before{content:\"\\f101\"}</style><p>Share <i class=icon></i> this</p>",
         "Share  this"},
        {"text", "<style>.x::before{content:\"X\"}</style><p>a <span class=x></span> b</p>",
         "a  b"},
        {"blank", "<style>.x::before{content:\" \"}</style><p>a<span class=x></span>b</p>", "ab"},
        {"empty", "<style>.x::after{content:\"\"}</style><p>a <span class=x></span> b</p>", "a b"},
        {"hidden",
         "<style>.x::after{content:\"X\";display:none}</style><p>a <span class=x></span>"
         " b</p>",
         "a b"},
        // a clearfix: an empty block ends the line
        {"clearfix",
         "<style>.x::after{content:\"\";display:table}</style><p>a <span class=x></span> b</p>"
         "<div class=x>c </div> d",
         "ab\n\nc\nd"},
        {"block",
         "<style>.x::before{content:\"\";display:block}</style><p>a <span class=x> </span>"
         " b</p>",
         "ab"},
    };
    expectPages(pages);
}

} // namespace

// Each part of a formula is a block: the text of every token element stands
// on a line of its own, inline math keeps the spaces around it, and only the
// first alternative of semantics is shown.
TEST(RenderingRules, FormulasGiveALinePerTokenElement) {
    const Page pages[] = {
        {"inline", "<p>Let <math><mi>x</mi><mo>=</mo><mn>2</mn></math> be given.</p>",
         "Let \nx\n=\n2\n be given."},
        {"display",
         "<p>The sum is</p><math display=\"block\"><mrow><msup><mi>a</mi><mn>2</mn></msup>"
         "<mo>+</mo><mfrac><mn>1</mn><mi>b</mi></mfrac></mrow></math><p>as shown.</p>",
         "The sum is\n\na\n2\n+\n1\nb\n\nas shown."},
        {"pretty-printed",
         "<div>Area:\n  <math display=BLOCK>\n    <mrow>\n      <mi>π</mi>\n"
         "      <msup>\n        <mi> r </mi>\n        <mn>2</mn>\n      </msup>\n"
         "    </mrow>\n  </math>\n</div>",
         "Area:\nπ\nr\n2"},
        {"annotations",
         "<p>Solve <math><semantics><mrow><mi>x</mi><mo>+</mo><mphantom><mn>0</mn></mphantom>"
         "<mn>1</mn></mrow><annotation encoding=\"TeX\">x+1</annotation></semantics></math>"
         " now.</p>",
         "Solve \nx\n+\n1\n now."},
        // text outside the token elements makes no box
        {"loose-text", "<p><math><mrow>loose<mi>y</mi></mrow>more</math></p>", "y"},
        {"strings", "<p><math><ms>abc</ms><mtext>if <b>x</b> holds</mtext></math></p>",
         "abc\nif x holds"},
        {"author-display", "<style>math{display:none}</style><p>a <math><mi>x</mi></math> b</p>",
         "a b"},
    };
    expectPages(pages);
}
