#include "FetchHelpers.h"

#include "support/TestEnvironment.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace vt::test {

PageFetchResult fetchNow(const QString& address, const PageFetchLimits& limits) {
    PageFetcher fetcher;
    fetcher.setLimits(limits);
    QSignalSpy spy(&fetcher, &PageFetcher::finished);
    fetcher.fetch(address);
    const bool reported = waitUntil([&] { return spy.count() > 0; }, 60000);
    EXPECT_TRUE(reported) << "no result for " << address.toStdString();
    if (!reported) {
        return {false, {}, QStringLiteral("(no result)"), {}, {}};
    }
    EXPECT_EQ(spy.count(), 1);
    return spy.first().first().value<PageFetchResult>();
}

} // namespace vt::test
