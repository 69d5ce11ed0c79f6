#pragma once

#include "sources/reader/PageTextMode.h"
#include "sources/text/PageOutline.h"

#include <QByteArray>
#include <QString>
#include <atomic>

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

// The same of an HTML page given as it came over the wire (see renderedText
// for encodingLabel and cancel), parsed once.
PageTexts pageTextsOfHtml(const QByteArray& html, const QString& encodingLabel, PageTextMode mode,
                          const std::atomic_bool* cancel = nullptr);

} // namespace vt
