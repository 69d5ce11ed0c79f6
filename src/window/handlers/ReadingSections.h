#pragma once

#include "sources/text/PageOutline.h"

#include <QString>
#include <vector>

namespace vt {

// A stretch of the spoken text that Next and Previous move between.
struct ReadingSection {
    qsizetype offset = 0; // where it begins in the text
    QString title;        // what a player shows for it
};

// The sections of a reading's text, in order; the first always begins at 0.
// With headings, each heading begins one, and whatever comes before the first
// heading is one more, titled firstTitle. Without headings, each paragraph is
// one (paragraphs are parted by blank lines; a text without a blank line has a
// paragraph per line), titled by its opening words. No text, no section.
std::vector<ReadingSection> readingSections(const QString& text,
                                            const std::vector<TextHeading>& headings,
                                            const QString& firstTitle);

// The section the character at offset belongs to (0 before the first).
std::size_t sectionAt(const std::vector<ReadingSection>& sections, qsizetype offset);

} // namespace vt
