#pragma once

#include "QtPrinting.h"
#include "sources/PageFetcher.h"

#include <QString>

namespace vt::test {

// Fetches with a fresh PageFetcher on this thread, running the event loop
// until it reports (or a minute passes, which fails the test).
PageFetchResult fetchNow(const QString& address, const PageFetchLimits& limits = {});

} // namespace vt::test
