#pragma once

#include "QtPrinting.h"
#include "sources/reader/PageReader.h"

#include <QString>
#include <gtest/gtest.h>

namespace vt::test {

// Reads the page whole with readPageAsync and these limits, running this
// thread's event loop until it reports (or a minute passes, which fails the
// test).
PageRead fetchNow(const QString& address, const PageFetchLimits& limits = {});

// Whether the read failed and its description names part; on a mismatch the
// message shows the description.
::testing::AssertionResult failedWith(const PageRead& read, const QString& part);

} // namespace vt::test
