#pragma once

namespace vt {

// What of a page is read: all of its rendered text, or only the article it holds
// (the whole page when no article is found).
enum class PageTextMode { WholePage, ArticleOnly };

} // namespace vt
