#pragma once

#include "sources/reader/PageReader.h"

#include <QString>
#include <functional>
#include <stop_token>

class QObject;

namespace vt {

// The page text file's name inside the caller's folder.
inline constexpr char PageTextFileName[] = "output.txt";

// The title of a text read without a page: its first line that is not blank,
// with its white space simplified ("" when there is none).
QString titleOfText(const QString& text);

// The path of the page text file in a folder.
QString pageTextFilePath(const QString& folder);

// Reads the page at the address (used as given) with readPage, writes its
// text to the page text file in the folder (replacing an earlier one; nothing
// is written when the read fails) and returns the text. Throws Failure with
// the reason when the page cannot be read or the file cannot be written, or
// when a stop is requested. The mode says whether the text is the whole page
// or its article. When title is given, it receives the page's title ("" when
// the page has none), and outline its headings and description. BLOCKING:
// for worker threads only.
QString GetPageText(const QString& address, const QString& folder, std::stop_token cancel = {},
                    PageTextMode mode = PageTextMode::WholePage, QString* title = nullptr,
                    PageOutline* outline = nullptr);

// The same without blocking, for the window thread: the read and the page
// text file's write run with readPageAsync; only the result comes back, to
// done on the context's thread (not at all when the context is destroyed
// first, which cancels the read). A failed file write makes the result fail
// with its description.
void fetchPageTextAsync(const QString& address, const QString& folder, QObject* context,
                        std::function<void(PageRead)> done,
                        PageTextMode mode = PageTextMode::WholePage);

} // namespace vt
