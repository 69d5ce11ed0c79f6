#pragma once

#include "QtPrinting.h"
#include "sources/reader/PageReader.h"

#include <QString>

namespace vt::test {

// Reads the page whole with readPageAsync and these limits, running this
// thread's event loop until it reports (or a minute passes, which fails the
// test).
PageRead fetchNow(const QString& address, const PageFetchLimits& limits = {});

} // namespace vt::test
