#pragma once

#include "sources/fetch/FetchLimits.h"
#include "sources/reader/PageTextMode.h"
#include "sources/text/PageOutline.h"

#include <QFuture>
#include <QString>
#include <stop_token>

namespace vt {

// A page read: its text, or why there is none.
struct PageRead {
    bool ok = false;
    QString text;        // the page's rendered text when ok
    QString description; // why it failed, when not ok
    QString title;       // the page's title when ok, "" when it has none
    PageOutline outline; // its headings and description when ok (none for plain text)
};

// What a read stopped by a stop request says.
inline constexpr char PageReadCancelled[] = "The page fetch was cancelled.";

// The one way to a page's text: fetches the address (used as given: http,
// https or file) within the limits and makes its text, the whole page or its
// article as the mode says. The time limit and a stop request cover the
// transfer, the parsing and the extraction alike; a stop gives "The page
// fetch was cancelled.". BLOCKING: for worker threads only; on the window
// thread it throws Failure instead.
PageRead readPage(const QString& address, PageTextMode mode, std::stop_token stop,
                  const PageFetchLimits& limits = defaultPageFetchLimits());

// The same on a thread of pageReadPool(); never throws, a failure is a result.
QFuture<PageRead> readPageAsync(const QString& address, PageTextMode mode, std::stop_token stop,
                                const PageFetchLimits& limits = defaultPageFetchLimits());

} // namespace vt
