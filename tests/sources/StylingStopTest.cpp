// Styling a page whose rules are costly: what sibling and descendant
// combinators find is still right, and a stop request ends the work.

#include "QtPrinting.h"
#include "core/Failure.h"
#include "sources/reader/PageText.h"
#include "support/html/HtmlText.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace {

using vt::renderedTextOfUtf8;

// The walks along siblings and ancestors are shared between elements; each
// element must still get its own answer.
TEST(StylingCombinators, SharedWalksGiveEachElementItsOwnAnswer) {
    EXPECT_EQ(renderedTextOfUtf8("<style>q ~ p { display: none }</style>"
                                 "<p>1</p><p>2</p><q>q</q><p>3</p><span>s</span><p>4</p>"),
              "1\n\n2\n\nqs");
    EXPECT_EQ(renderedTextOfUtf8("<style>q ~ p.a { display: none } i ~ b { display: none }</style>"
                                 "<p class=a>1</p><q>q</q><p>2</p><p class=a>3</p>"
                                 "<div><b>4</b><i>i</i><b>5</b></div>"),
              "1\n\nq\n\n2\n\n4i");
    EXPECT_EQ(
        renderedTextOfUtf8("<style>section p { display: none }</style>"
                           "<div><p>1</p><section><div><p>2</p></div></section><p>3</p></div>"),
        "1\n\n3");
    EXPECT_EQ(renderedTextOfUtf8("<style>.x > div p { display: none }</style>"
                                 "<div><div><p>1</p></div></div>"
                                 "<div class=x><div><div><p>2</p></div></div></div><p>3</p>"),
              "1\n\n3");
}

// Thousands of rules every paragraph must be tried against: seconds of
// styling after a parse of milliseconds. A stop arriving meanwhile ends it.
// The paragraphs have the attribute, so their names alone rule out nothing.
TEST(StylingStop, AStopRequestEndsStyling) {
    QByteArray html = "<style>";
    for (int i = 0; i < 16000; ++i) {
        html += "p[data-n=\"" + QByteArray::number(i) + "\"] { display: none }\n";
    }
    html += "</style>" + QByteArray("<p data-n=x>x</p>").repeated(16000);
    std::atomic_bool stop = false;
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        stop = true;
    });
    bool stopped = false;
    try {
        vt::pageTextsOfHtml(html, "utf-8", vt::PageTextMode::WholePage, &stop);
    } catch (const vt::Failure& failure) {
        stopped = failure.description().contains("stopped");
    }
    stopper.join();
    EXPECT_TRUE(stopped);
}

} // namespace
