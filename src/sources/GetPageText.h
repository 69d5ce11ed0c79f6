#pragma once

#include "sources/PageFetcher.h"

#include <QString>
#include <functional>
#include <stop_token>

class QObject;

namespace vt {

// The page text file's name inside the caller's folder.
inline constexpr char PageTextFileName[] = "output.txt";

// The path of the page text file in a folder.
QString pageTextFilePath(const QString& folder);

// Fetches the page at the address (used as given) and renders its text.
// BLOCKING: for worker threads only; it runs the fetch in an event loop of its
// own on the calling thread, which a stop request ends. Fails (not ok) when a
// stop is requested first.
PageFetchResult fetchPage(const QString& address, std::stop_token cancel = {},
                          PageTextMode mode = PageTextMode::WholePage);

// Fetches the page at the address (used as given), writes its rendered text
// to the page text file in the folder (replacing an earlier one; nothing is
// written when the fetch fails) and returns the text. Throws Failure with the
// reason when the page cannot be read or the file cannot be written, or when
// a stop is requested. The mode says whether the text is the whole page or its
// article. When title is given, it receives the page's title ("" when the page
// has none), and outline its headings and description. BLOCKING: for worker threads only; it runs
// the fetch in an event loop of its own on the calling thread.
QString GetPageText(const QString& address, const QString& folder, std::stop_token cancel = {},
                    PageTextMode mode = PageTextMode::WholePage, QString* title = nullptr,
                    PageOutline* outline = nullptr);

// The same without blocking, for the window thread: the fetch, the rendering
// and the page text file's write all run on a worker thread; only the result
// comes back, to done on the context's thread (not at all when the context is
// destroyed first, which cancels the fetch). A failed file write makes the
// result fail with its description.
void fetchPageTextAsync(const QString& address, const QString& folder, QObject* context,
                        std::function<void(PageFetchResult)> done,
                        PageTextMode mode = PageTextMode::WholePage);

} // namespace vt
