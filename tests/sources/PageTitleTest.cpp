#include "sources/PageTitle.h"

#include "FetchHelpers.h"
#include "support/LocalHttpServer.h"

#include <gtest/gtest.h>

namespace vt {
namespace {

TEST(PageTitle, TheFirstTitleElementCollapsedAndDecoded) {
    EXPECT_EQ(pageTitleOf("<html><head><TITLE lang=en>\n  Fish &amp; Chips &#8211; &#x41;"
                          "&lt;b&gt;  </title><title>Second</title></head></html>",
                          ""),
              "Fish & Chips – A<b>");
    EXPECT_EQ(pageTitleOf("<html><body><p>No title here</p></body></html>", ""), "");
    EXPECT_EQ(pageTitleOf("<title>never closed", ""), "");
    EXPECT_EQ(pageTitleOf("<title>&unknown; stays &amp</title>", ""), "&unknown; stays &amp");
    // The bytes are read in the page's own encoding.
    EXPECT_EQ(pageTitleOf("<title>Caf\xe9</title>", "windows-1252"), "Café");
    EXPECT_EQ(pageTitleOf("<meta charset=\"iso-8859-1\"><title>Na\xefve</title>", ""), "Naïve");
    EXPECT_EQ(pageTitleOf("<title>Caf\xc3\xa9</title>", "utf-8"), "Café");
}

TEST(PageTitle, AFetchedPageCarriesItsTitleAndPlainTextHasNone) {
    test::LocalHttpServer server;
    server.page("/titled", "<html><head><title>The Page</title></head><body>Text</body></html>");
    server.page("/plain", "<title>not markup</title>", "text/plain; charset=utf-8");
    const PageFetchResult titled = test::fetchNow(server.url("/titled"));
    ASSERT_TRUE(titled.ok);
    EXPECT_EQ(titled.title, "The Page");
    EXPECT_EQ(titled.text, "Text");
    const PageFetchResult plain = test::fetchNow(server.url("/plain"));
    ASSERT_TRUE(plain.ok);
    EXPECT_EQ(plain.title, "");
}

} // namespace
} // namespace vt
