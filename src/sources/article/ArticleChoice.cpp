#include "sources/article/ArticleChoice.h"

#include "sources/html/TagSet.h"
#include "sources/style/ElementStyle.h"

#include <gumbo.h>

namespace vt {

namespace {

// Less prose than this is not an article worth narrowing the page to.
constexpr int MinimumProse = 400;
// A listing (news front page, search results) has headlines that are links
// and little prose per headline.
constexpr int ListingHeadlines = 4;
constexpr int ProsePerStory = 500;

using Nodes = std::vector<ArticleNode>;

const ArticleNode& at(const Nodes& nodes, int index) {
    return nodes[static_cast<std::size_t>(index)];
}

GumboTag tagOf(const ArticleNode& node) {
    return node.element->v.element.tag;
}

// Text-level elements: never an article themselves.
constexpr TagSet InlineTags{GUMBO_TAG_A,      GUMBO_TAG_SPAN, GUMBO_TAG_EM,    GUMBO_TAG_STRONG,
                            GUMBO_TAG_B,      GUMBO_TAG_I,    GUMBO_TAG_U,     GUMBO_TAG_SMALL,
                            GUMBO_TAG_FONT,   GUMBO_TAG_CODE, GUMBO_TAG_LABEL, GUMBO_TAG_SUP,
                            GUMBO_TAG_SUB,    GUMBO_TAG_TIME, GUMBO_TAG_ABBR,  GUMBO_TAG_CITE,
                            GUMBO_TAG_Q,      GUMBO_TAG_MARK, GUMBO_TAG_BR,    GUMBO_TAG_IMG,
                            GUMBO_TAG_BUTTON, GUMBO_TAG_INPUT};

// The score that decides between candidates.
float choiceScore(const ArticleNode& node) {
    if (node.score <= 0.0f || node.parent < 0 || node.hint == ArticleHint::Negative ||
        InlineTags.contains(tagOf(node)) || isHeading(node.element)) {
        return 0.0f;
    }
    switch (node.hint) {
    case ArticleHint::Structural:
        return node.score * 1.25f + 50.0f;
    case ArticleHint::Positive:
        return node.score * 1.1f + 25.0f;
    default:
        return node.score;
    }
}

int bestCandidate(const Nodes& nodes) {
    int best = -1;
    float bestScore = 0.0f;
    // Backwards, so of equal scores the innermost element wins.
    for (int i = static_cast<int>(nodes.size()) - 1; i >= 0; --i) {
        const float score = choiceScore(at(nodes, i));
        if (score > bestScore) {
            bestScore = score;
            best = i;
        }
    }
    return best;
}

bool isLinkHeavy(const ArticleNode& node) {
    return node.chars > 0 && node.linkChars * 2 > node.chars;
}

bool isFigure(const ArticleNode& node) {
    const GumboTag tag = tagOf(node);
    return tag == GUMBO_TAG_FIGURE || tag == GUMBO_TAG_IMG ||
           (tag == GUMBO_TAG_UNKNOWN && elementName(node.element) == "picture");
}

// Whether a sibling of the best element carries the article on: a strong block
// of its own, a paragraph of prose, or a figure.
bool continuesArticle(const ArticleNode& sibling, const ArticleNode& best) {
    if (sibling.hint == ArticleHint::Negative || isLinkHeavy(sibling)) {
        return false;
    }
    const float threshold = best.score * 0.2f > 50.0f ? best.score * 0.2f : 50.0f;
    if (sibling.score >= threshold) {
        return true;
    }
    const GumboTag tag = tagOf(sibling);
    if ((tag == GUMBO_TAG_P || tag == GUMBO_TAG_BLOCKQUOTE || tag == GUMBO_TAG_PRE) &&
        sibling.proseChars > 0) {
        return true;
    }
    return isFigure(sibling);
}

// The children of parent, in order.
std::vector<int> childrenOf(const Nodes& nodes, int parent) {
    std::vector<int> children;
    for (int i = parent + 1; i < at(nodes, parent).end; i = at(nodes, i).end) {
        children.push_back(i);
    }
    return children;
}

// Widens the choice to the best element's parent when siblings continue the
// article; the siblings that do not are left out. Headings go with what follows.
void takeInSiblings(const Nodes& nodes, ArticleChoice& choice) {
    const ArticleNode& best = at(nodes, choice.best);
    choice.root = choice.best;
    if (best.parent <= 0 || tagOf(at(nodes, best.parent)) == GUMBO_TAG_BODY) {
        return; // never widen to the whole page
    }
    const std::vector<int> siblings = childrenOf(nodes, best.parent);
    std::vector<bool> taken(siblings.size(), false);
    bool any = false;
    for (std::size_t k = siblings.size(); k-- > 0;) {
        const ArticleNode& sibling = at(nodes, siblings[k]);
        if (siblings[k] == choice.best) {
            taken[k] = true;
        } else if (isHeading(sibling.element)) {
            taken[k] = k + 1 < siblings.size() && taken[k + 1];
        } else {
            taken[k] = continuesArticle(sibling, best);
        }
        any = any || (taken[k] && siblings[k] != choice.best);
    }
    if (!any) {
        return;
    }
    choice.root = best.parent;
    for (std::size_t k = 0; k < siblings.size(); ++k) {
        if (!taken[k]) {
            choice.leftOut.push_back(siblings[k]);
        }
    }
}

bool isInCode(const Nodes& nodes, int index) {
    for (int i = at(nodes, index).parent; i >= 0; i = at(nodes, i).parent) {
        const GumboTag tag = tagOf(at(nodes, i));
        if (tag == GUMBO_TAG_PRE || tag == GUMBO_TAG_CODE) {
            return true;
        }
    }
    return false;
}

bool isNoiseInside(const Nodes& nodes, int index) {
    const ArticleNode& node = at(nodes, index);
    const GumboTag tag = tagOf(node);
    if (node.hint == ArticleHint::Negative) {
        return !isInCode(nodes, index); // a "comment" in a program listing is the listing's
    }
    if (tag == GUMBO_TAG_BUTTON || tag == GUMBO_TAG_SELECT || tag == GUMBO_TAG_TEXTAREA ||
        isBylineList(node.element)) {
        return true;
    }
    if (node.formControls >= 2 && node.chars < 100 * node.formControls) {
        return true;
    }
    // Link lists and "read more" lines; a list is judged whole, not item by item.
    const bool judgedWhole = tag != GUMBO_TAG_LI && tag != GUMBO_TAG_DT && tag != GUMBO_TAG_DD &&
                             tag != GUMBO_TAG_PRE && !isHeading(node.element);
    return judgedWhole && isBlockContainer(node.element) && isLinkHeavy(node);
}

bool isMarked(const std::vector<bool>& marked, int index) {
    return marked[static_cast<std::size_t>(index)];
}

// A heading whose section was left out entirely goes with it.
void leaveOutOrphanHeadings(const Nodes& nodes, int root, std::vector<bool>& marked,
                            std::vector<int>& leftOut) {
    for (int i = root + 1; i < at(nodes, root).end;) {
        if (isMarked(marked, i)) {
            i = at(nodes, i).end;
            continue;
        }
        if (isHeading(at(nodes, i).element)) {
            bool sawLeftOut = false;
            bool sawText = false;
            const int parent = at(nodes, i).parent;
            for (int s = at(nodes, i).end;
                 s < at(nodes, root).end && at(nodes, s).parent == parent && !sawText;
                 s = at(nodes, s).end) {
                if (isHeading(at(nodes, s).element)) {
                    break;
                }
                sawLeftOut = sawLeftOut || isMarked(marked, s);
                sawText = !isMarked(marked, s) && at(nodes, s).chars > 0;
            }
            if (sawLeftOut && !sawText) {
                marked[static_cast<std::size_t>(i)] = true;
                leftOut.push_back(i);
            }
        }
        ++i;
    }
}

void markNoise(const Nodes& nodes, ArticleChoice& choice) {
    std::vector<bool> marked(nodes.size(), false);
    for (const int index : choice.leftOut) {
        marked[static_cast<std::size_t>(index)] = true;
    }
    for (int i = choice.root + 1; i < at(nodes, choice.root).end;) {
        if (isMarked(marked, i)) {
            i = at(nodes, i).end;
        } else if (isNoiseInside(nodes, i)) {
            marked[static_cast<std::size_t>(i)] = true;
            choice.leftOut.push_back(i);
            i = at(nodes, i).end;
        } else {
            ++i;
        }
    }
    leaveOutOrphanHeadings(nodes, choice.root, marked, choice.leftOut);
}

// An element the page hides hides the article in it too.
bool isShown(const Nodes& nodes, int index) {
    for (int i = index; i >= 0; i = at(nodes, i).parent) {
        const ElementStyle style = styleOf(at(nodes, i).element);
        if (style.display == Display::None) {
            return false;
        }
        if (style.visible) {
            return *style.visible;
        }
    }
    return true;
}

bool isConvincing(const Nodes& nodes, const ArticleChoice& choice) {
    const ArticleNode& root = at(nodes, choice.root);
    int prose = root.proseChars;
    int headlines = root.linkedHeadings;
    int headings = root.headings;
    if (choice.root != choice.best) { // only the siblings taken in count
        for (const int index : choice.leftOut) {
            if (at(nodes, index).parent == choice.root) {
                prose -= at(nodes, index).proseChars;
                headlines -= at(nodes, index).linkedHeadings;
                headings -= at(nodes, index).headings;
            }
        }
    }
    if (prose < MinimumProse) {
        return false;
    }
    const bool listing = headlines >= ListingHeadlines && headlines * 2 >= headings &&
                         prose < ProsePerStory * headlines;
    return !listing && isShown(nodes, choice.root);
}

} // namespace

ArticleChoice chooseArticle(const Nodes& nodes) {
    ArticleChoice choice;
    choice.best = bestCandidate(nodes);
    if (choice.best < 0) {
        return choice;
    }
    takeInSiblings(nodes, choice);
    choice.convincing = isConvincing(nodes, choice);
    if (choice.convincing) {
        markNoise(nodes, choice);
    }
    return choice;
}

} // namespace vt
