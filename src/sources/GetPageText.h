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

// Fetches the page at the address (used as given), writes its rendered text
// to the page text file in the folder (replacing an earlier one; nothing is
// written when the fetch fails) and returns the text. Throws Failure with the
// reason when the page cannot be read or the file cannot be written, or when
// a stop is requested. BLOCKING: for worker threads only; it runs the fetch in
// an event loop of its own on the calling thread, which a stop request ends.
QString GetPageText(const QString& address, const QString& folder, std::stop_token cancel = {});

// The same without blocking, for the window thread: fetches, writes the page
// text file off this thread and calls done on the context's thread (not at all
// when the context is destroyed first). A failed file write makes the result
// fail with its description.
void fetchPageTextAsync(const QString& address, const QString& folder, QObject* context,
                        std::function<void(PageFetchResult)> done);

} // namespace vt
