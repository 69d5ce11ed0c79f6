// The page's own style sheets deciding what is rendered, as a browser's
// innerText of the document shows it.

#include "QtPrinting.h"
#include "support/html/HtmlText.h"

#include <gtest/gtest.h>

using vt::renderedTextOfUtf8;

namespace {

struct Case {
    const char* html;
    const char* expected; // UTF-8
};

void expectAll(std::initializer_list<Case> cases) {
    for (const Case& c : cases) {
        EXPECT_EQ(renderedTextOfUtf8(QByteArray(c.html)), QString::fromUtf8(c.expected))
            << "for " << c.html;
    }
}

TEST(StyleSheet, ClassAndIdRulesHideWhatThePageHides) {
    expectAll({
        {"<style>.menu{display:none}</style><ul class=\"nav menu\"><li>Home<li>Login</ul>"
         "<p>Story</p>",
         "Story"},
        {"<style>#share { display: none }</style><div id=\"share\">Share this</div>Text", "Text"},
        {"<style>div.popup{visibility:hidden}</style><div class=\"popup\">Cookies?</div>"
         "<span class=\"popup\">shown</span>",
         "shown"},
        // class names are case-sensitive, tag names are not
        {"<style>.Menu{display:none} DIV{display:inline}</style><div class=\"menu\">a</div>"
         "<div>b</div>",
         "ab"},
        // escapes in class names, as utility frameworks write them
        {"<style>.md\\:hidden{display:none} .w-1\\/2{display:none}</style>"
         "<p class=\"md:hidden\">x</p><p class=\"w-1/2\">y</p><p>z</p>",
         "z"},
    });
}

TEST(StyleSheet, AttributeSelectorsMatchAsInBrowsers) {
    expectAll({
        {"<style>[aria-hidden]{display:none}</style><span aria-hidden=\"true\">x</span>y", "y"},
        {"<style>[data-state=closed]{display:none}</style><div data-state=\"closed\">a</div>"
         "<div data-state=\"open\">b</div>",
         "b"},
        {"<style>[class~=ad]{display:none}</style><p class=\"top ad big\">a</p>"
         "<p class=\"adv\">b</p>",
         "b"},
        {"<style>[lang|=en]{display:none}</style><p lang=\"en-GB\">a</p><p lang=\"eng\">b</p>",
         "b"},
        {"<style>a[href^=\"http\"]{display:none}</style><a href=\"https://x\">out</a>"
         "<a href=\"/in\">in</a>",
         "in"},
        {"<style>[src$=\".gif\"]{display:none} [title*=\"secret\"]{display:none}</style>"
         "<span src=\"a.gif\">g</span><span title=\"top secret!\">s</span><span>k</span>",
         "k"},
        {"<style>[data-x=\"AbC\" i]{display:none}</style><b data-x=\"abc\">a</b><b>b</b>", "b"},
        {"<style>[data-x=\"AbC\"]{display:none}</style><b data-x=\"abc\">a</b>", "a"},
    });
}

TEST(StyleSheet, CombinatorsAndStructuralPseudoClasses) {
    expectAll({
        {"<style>h2 + p{display:none}</style><h2>H</h2><p>a</p><p>b</p>", "H\n\nb"},
        {"<style>h2 ~ p{display:none}</style><p>a</p><h2>H</h2><div>c</div><p>b</p>", "a\n\nH\nc"},
        {"<style>nav > a{display:none}</style><nav><a>x</a><span><a>y</a></span></nav>", "y"},
        {"<style>header a{display:none}</style><header><div><a>x</a></div></header><a>y</a>", "y"},
        {"<style>li:first-child, li:last-child{display:none}</style><ul><li>1<li>2<li>3</ul>", "2"},
        {"<style>li:nth-child(2n+1){display:none}</style><ul><li>1<li>2<li>3<li>4</ul>", "2\n4"},
        {"<style>li:nth-child(odd){display:none}</style><ul><li>1<li>2</ul>", "2"},
        {"<style>p:not(.keep){display:none}</style><p class=\"keep\">k</p><p>x</p>", "k"},
        {"<style>:is(header, footer) p{display:none}</style><header><p>h</p></header><p>m</p>",
         "m"},
        {"<style>:root > body > p{display:none}</style><p>x</p><div><p>y</p></div>", "y"},
        {"<style>div:empty{display:none} span:empty{display:block}</style>a<span></span>b", "a\nb"},
    });
}

TEST(StyleSheet, RulesThatDependOnTheUserOrOnGeneratedContentAreSkipped) {
    expectAll({
        {"<style>.m:hover{display:none} .m:focus-within{display:none}</style>"
         "<div class=\"m\">menu</div>",
         "menu"},
        {"<style>p::before{display:none} p:after{display:none}</style><p>x</p>", "x"},
        // one selector of a list skipped, the others apply
        {"<style>a:hover, .gone{display:none}</style><a>link</a><b class=\"gone\">g</b>", "link"},
        // an invalid selector drops the whole rule, as in browsers
        {"<style>.gone, p:nonsense{display:none}</style><b class=\"gone\">g</b>", "g"},
        {"<style>p::before{content:\"generated\"}</style><p>own</p>", "own"},
    });
}

TEST(StyleSheet, SpecificityOrderAndImportanceDecide) {
    expectAll({
        {"<style>#a{display:block} .b{display:none}</style><span id=\"a\" class=\"b\">x</span>y",
         "x\ny"},
        {"<style>.b{display:none} span{display:block}</style><span class=\"b\">x</span>y", "y"},
        {"<style>.b{display:none} .b{display:inline}</style><div class=\"b\">x</div>y", "xy"},
        {"<style>.b{display:none !important} #a.b{display:inline}</style>"
         "<p id=\"a\" class=\"b\">x</p>y",
         "y"},
        {"<style>.b{display:none}</style><p class=\"b\" style=\"display:block\">x</p>", "x"},
        {"<style>.b{display:none!important}</style><p class=\"b\" style=\"display:block\">x</p>",
         ""},
        {"<style>.b{display:block}</style><p class=\"b\" style=\"display:none !important\">x</p>",
         ""},
        {"<style>.b{display:none!important;display:block}</style><p class=\"b\">x</p>y", "y"},
        {"<style>:where(#a){display:none} p{display:block}</style><p id=\"a\">x</p>", "x"},
        // a second style element comes later in the order
        {"<style>p{display:none}</style><p>x</p><style>p{display:block}</style>", "x"},
    });
}

TEST(StyleSheet, VisibilityIsInheritedAndAChildMayShowItself) {
    expectAll({
        {"<style>.p{visibility:hidden} .c{visibility:visible}</style>"
         "<div class=\"p\">hidden <span class=\"c\">shown</span> gone</div>",
         "shown"},
        {"<style>.p{visibility:hidden}</style><div class=\"p\"><p>a</p></div><p>b</p>", "b"},
        {"<style>.p{visibility:collapse} .c{visibility:inherit}</style>"
         "<div class=\"p\"><b class=\"c\">x</b></div>y",
         "y"},
    });
}

TEST(StyleSheet, MediaQueriesAreThoseOfAWideScreen) {
    expectAll({
        {"<style>@media (max-width: 600px) { .wide { display: none } }</style>"
         "<p class=\"wide\">wide</p>",
         "wide"},
        {"<style>@media screen and (min-width: 800px) { .narrow { display: none } }</style>"
         "<p class=\"narrow\">narrow</p>ok",
         "ok"},
        {"<style>@media print { p { display: none } } @media only screen and (orientation: "
         "landscape) and (min-resolution: 1dppx) { b { display: none } }</style><p>p</p><b>b</b>",
         "p"},
        {"<style>@media (width >= 1024px) { i{display:none} } @media (400px <= width <= 700px) "
         "{ u{display:none} } @media not print { s{display:none} }</style><i>i</i><u>u</u><s>s</s>",
         "u"},
        {"<style>@media (min-width: 40em) and (max-width: 80em) { i{display:none} }"
         "@media (prefers-color-scheme: dark) { u{display:none} }</style><i>i</i><u>u</u>",
         "u"},
        {"<style>@media screen { @media (min-width: 1px) { i{display:none} } }</style><i>i</i>x",
         "x"},
        {"<style media=\"(max-width: 600px)\">p{display:none}</style><p>kept</p>", "kept"},
        {"<style media=\"screen and (min-width: 1280px)\">p{display:none}</style><p>x</p>", ""},
        {"<style>@supports (display: grid) { i{display:none} } @font-face { font-family: x } "
         "@keyframes k { from { display: none } } @import url(a.css); p{display:block}</style>"
         "<i>i</i><span>a</span><p>b</p>",
         "a\n\nb"},
        {"<style type=\"text/less\">p{display:none}</style><p>not css</p>", "not css"},
        // a utility framework's responsive classes: later media rules win on a wide screen
        {"<style>.hidden{display:none} @media (min-width: 768px) { .md\\:block{display:block} "
         ".md\\:hidden{display:none} } @media (min-width: 1536px) { .\\32xl\\:hidden"
         "{display:none} }</style><div class=\"hidden md:block\">desktop</div>"
         "<div class=\"md:hidden\">mobile</div><div class=\"2xl:hidden\">wide</div>",
         "desktop\nwide"},
    });
}

TEST(StyleSheet, RulesHidingHtmlOrBodyThemselvesAreNotApplied) {
    expectAll({
        {"<style>body{display:none}</style><p>visible</p>", "visible"},
        {"<style>html{visibility:hidden}</style><p>visible</p>", "visible"},
        {"<html style=\"display:none\"><body style=\"visibility:hidden\"><p>shown</p></body>",
         "shown"},
        // their children may still be hidden
        {"<style>body > .x{display:none}</style><p class=\"x\">gone</p><p>kept</p>", "kept"},
    });
}

TEST(StyleSheet, DisplayFromTheSheetShapesLinesAndTables) {
    expectAll({
        {"<style>.row{display:table-row} .cell{display:table-cell}</style>"
         "<div class=\"row\"><span class=\"cell\">a</span><span class=\"cell\">b</span></div>"
         "<div class=\"row\"><span class=\"cell\">c</span><span class=\"cell\">d</span></div>",
         "a\tb\nc\td"},
        {"<style>span{display:block}</style><span>one</span><span>two</span>", "one\ntwo"},
        {"<style>div{display:inline-block}</style><div>a</div> <div>b</div>", "a b"},
        {"<style>.t{display:table}</style><div class=\"t\">x</div>y", "x\ny"},
        {"<style>li{display:inline}</style><ul><li>a</li><li>b</li></ul>", "ab"},
        {"<style>.c{display:contents}</style><div class=\"c\">a</div><div class=\"c\">b</div>",
         "ab"},
        {"<style>pre{white-space:normal} .p{white-space:pre}</style><pre>a   b</pre>"
         "<div class=\"p\">c   d</div>",
         "a b\nc   d"},
    });
}

TEST(StyleSheet, TextTransformUsesFullCaseMapping) {
    expectAll({
        {"<style>.u{text-transform:uppercase}</style><a class=\"u\">Start a wiki</a>",
         "START A WIKI"},
        {"<p style=\"text-transform:uppercase\">Maß straße</p>", "MASS STRASSE"},
        {"<style>h2{text-transform:lowercase}</style><h2>ÉCOLE Über</h2>", "école über"},
        {"<style>p{text-transform:capitalize}</style><p>the river's end ßig 3rd-place</p>",
         "The River's End Ssig 3rd-Place"},
        // inherited, and undone by a child
        {"<style>div{text-transform:uppercase} b{text-transform:none}</style>"
         "<div>up <b>as is</b> <i>up</i></div>",
         "UP as is UP"},
        // a word split across elements is capitalized once
        {"<style>p{text-transform:capitalize}</style><p>wi<b>ki</b> page</p>", "Wiki Page"},
    });
}

TEST(StyleSheet, FloatsPositionedElementsAndFlexItemsAreBlocks) {
    expectAll({
        {"<style>.f{float:left}</style>a<span class=\"f\">floated</span>b", "a\nfloated\nb"},
        {"<style>.a{position:absolute}</style>a<span class=\"a\">abs</span>b", "a\nabs\nb"},
        {"<span style=\"position:fixed\">fixed</span><span>after</span>", "fixed\nafter"},
        {"<span style=\"position:relative\">rel</span><span>after</span>", "relafter"},
        {"<style>.x{display:flex}</style><div class=\"x\"><span>1</span><span>2</span></div>",
         "1\n2"},
        {"<style>.x{display:grid}</style><div class=\"x\"><a>1</a> <a>2</a></div>after",
         "1\n2\nafter"},
        {"<style>.x{display:inline-flex}</style>a<span class=\"x\"><b>1</b><b>2</b></span>b",
         "a\n1\n2\nb"},
        // text directly in a flex container is an item of its own
        {"<div style=\"display:flex\">one<b>two</b>three</div>", "one\ntwo\nthree"},
        // grandchildren are not made blocks
        {"<div style=\"display:flex\"><p><b>1</b><b>2</b></p></div>", "12"},
        {"<style>.f{float:right}</style>a<img class=\"f\" src=\"x.png\">b", "a\nb"},
    });
}

TEST(StyleSheet, ControlsAndMediaGiveNoText) {
    expectAll({
        {"a<textarea>typed text</textarea>b", "ab"},
        {"<textarea style=\"display:block\">typed</textarea>after", "after"},
        {"<audio controls><p>Your browser cannot play audio</p></audio>x", "x"},
        {"<audio>no controls</audio>x", "x"},
        {"<video><track kind=\"captions\"><p>Fallback text</p></video>x", "x"},
        {"<style>video{display:block}</style>a<video>fallback</video>b", "a\nb"},
        {"<canvas>drawing fallback</canvas>x", "x"},
        {"<iframe>frame fallback</iframe>x", "x"},
    });
}

} // namespace
