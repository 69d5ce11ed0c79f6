#include "FetchHelpers.h"

#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

namespace vt::test {

PageRead fetchNow(const QString& address, const PageFetchLimits& limits) {
    const QFuture<PageRead> read = readPageAsync(address, PageTextMode::WholePage, {}, limits);
    const bool reported = waitUntil([&] { return read.isFinished(); }, 60000);
    EXPECT_TRUE(reported) << "no result for " << address.toStdString();
    if (!reported) {
        return {false, {}, QStringLiteral("(no result)"), {}, {}};
    }
    EXPECT_EQ(read.resultCount(), 1);
    return read.result();
}

::testing::AssertionResult failedWith(const PageRead& read, const QString& part) {
    if (read.ok) {
        return ::testing::AssertionFailure() << "the read succeeded";
    }
    if (!read.description.contains(part)) {
        return ::testing::AssertionFailure()
               << "\"" << read.description.toStdString() << "\" does not contain \""
               << part.toStdString() << "\"";
    }
    return ::testing::AssertionSuccess();
}

} // namespace vt::test
