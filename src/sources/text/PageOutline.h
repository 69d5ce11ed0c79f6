#pragma once

#include <QString>
#include <vector>

namespace vt {

// A heading (h1-h6) as it stands in a page's rendered text.
struct TextHeading {
    qsizetype offset = 0; // where its first character is in the text
    QString title;        // its text, on one line
};

// What a page says about the shape of its text, beside the text itself.
struct PageOutline {
    std::vector<TextHeading> headings; // in text order, each at a distinct offset
    QString description;               // og:description, else <meta name="description">
};

// The headings moved by shift characters (the text gained a prefix of that length).
void shiftHeadings(std::vector<TextHeading>& headings, qsizetype shift);

} // namespace vt
