#pragma once

struct GumboInternalNode;

namespace vt {

// What an element's tag, role, itemprop, class and id say about it.
enum class ArticleHint {
    None,
    Positive,   // a class or id such as "entry-content", "story-body"
    Structural, // article, main, role="main", itemprop="articleBody"
    Negative,   // navigation, sidebars, footers, forms, share and comment boxes, ads
};

// The hint of an element; html and body never have one (their class lists
// describe the whole page layout).
ArticleHint articleHintOf(const GumboInternalNode* element);

// True for lists whose class or id marks them as a byline or the article's
// details (author, date, tags), which a listener does not need twice.
bool isBylineList(const GumboInternalNode* element);

} // namespace vt
