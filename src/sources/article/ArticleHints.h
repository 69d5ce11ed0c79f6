#pragma once

#include <string_view>
#include <unordered_map>

struct GumboInternalNode;

namespace vt {

// What an element's tag, role, itemprop, class and id say about it.
enum class ArticleHint {
    None,
    Positive,   // a class or id such as "entry-content", "story-body"
    Structural, // article, main, role="main", itemprop="articleBody"
    Negative,   // navigation, sidebars, footers, forms, share and comment boxes, ads
};

// Gives the hints of a page's elements. Pages repeat their class names a lot,
// so each distinct class list or id is judged once; the hinter must not
// outlive the parse tree it read.
class ArticleHinter {
  public:
    // The hint of an element; html and body never have one (their class lists
    // describe the whole page layout), and neither have phrase elements (em,
    // strong, code...).
    ArticleHint hintOf(const GumboInternalNode* element);

  private:
    unsigned char verdictOf(std::string_view classOrId);

    std::unordered_map<std::string_view, unsigned char> m_verdicts;
};

// True for lists whose class or id marks them as a byline or the article's
// details (author, date, tags), which a listener does not need twice.
bool isBylineList(const GumboInternalNode* element);

} // namespace vt
