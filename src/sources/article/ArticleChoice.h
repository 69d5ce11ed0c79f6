#pragma once

#include "sources/article/ArticleScan.h"

#include <vector>

namespace vt {

// The part of a page that holds its article, as element indices of a scan.
struct ArticleChoice {
    int best = -1;           // the element that scores best, -1 when none holds any prose
    int root = -1;           // what is rendered: best, or its parent when siblings continue it
    bool convincing = false; // enough prose, not a listing, not hidden
    // Elements under root left out of the article, each with its descendants:
    // noise inside it and the siblings of best that do not continue it.
    std::vector<int> leftOut;
};

// Finds the article: the element whose prose outweighs the noise inside it the
// most (helped by structural and class hints), with the siblings that carry
// on its paragraphs and figures, and the noise inside it marked to be left out.
ArticleChoice chooseArticle(const std::vector<ArticleNode>& nodes);

} // namespace vt
