#pragma once

#include "sources/article/ArticleHints.h"

#include <vector>

struct GumboInternalNode;

namespace vt {

// What one element of a page holds, as the article finder weighs it. Counts are
// of characters other than white space, in text the page can show.
struct ArticleNode {
    const GumboInternalNode* element = nullptr;
    int parent = -1;    // index of the parent element, -1 for the first one
    int end = 0;        // one past the last descendant's index
    int textBefore = 0; // characters of text before the element, in document order
    int chars = 0;
    int linkChars = 0;        // inside links
    int offPageLinkChars = 0; // inside links to other pages
    int proseChars = 0;       // in paragraphs of prose, outside noise
    int headings = 0;         // h1 to h6 with text
    int linkedHeadings = 0;   // headings that are mostly a link to another page (teasers)
    int formControls = 0;
    float score = 0; // the prose inside minus the noise inside
    ArticleHint hint = ArticleHint::None;
    // Text whose nearest enclosing block is this element.
    int ownChars = 0;
    int ownLinkChars = 0;
    int ownCommas = 0;
    int ownSentenceEnds = 0;
};

// The elements under root (root included) in document order, so the
// descendants of element i are the indices i + 1 up to its end. Elements that
// never show (head, script, style, template, hidden ones, embedded media) and
// their contents are left out. The walk keeps its own stack.
std::vector<ArticleNode> scanArticleNodes(const GumboInternalNode* root);

// The tag kinds the finder treats alike.
bool isHeading(const GumboInternalNode* element);
bool isBlockContainer(const GumboInternalNode* element);

} // namespace vt
