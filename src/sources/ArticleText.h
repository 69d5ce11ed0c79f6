#pragma once

#include "sources/text/PageOutline.h"
#include "sources/PageTextMode.h"

#include <QString>

struct GumboInternalNode;

namespace vt {

struct PageTexts {
    QString text;         // what is read
    QString title;        // the page's title, "" when it has none
    bool article = false; // text is the article alone, not the whole page
    PageOutline outline;  // the headings of text and the page's description
};

// The text of a parsed page, by the rendered text rules, and its title: the
// h1 inside or just above the article, else the og:title, else the <title>.
// In article mode the text is the article, headed by the title, when one is
// found convincingly; otherwise, and in whole-page mode, it is the whole
// page's rendered text. The tree is borrowed for the call and left as it was.
PageTexts pageTextsOf(const GumboInternalNode* documentElement, PageTextMode mode);

} // namespace vt
