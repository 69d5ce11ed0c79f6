#pragma once

#include "sources/text/PageOutline.h"

#include <QString>
#include <cstddef>
#include <string>
#include <vector>

namespace vt {

// Where a heading's output began and ended, in bytes of the UTF-8 result.
struct HeadingSpan {
    std::size_t begin = 0;
    std::size_t end = 0;
};

// The spans become positions in the text (utf8 as a QString): the first
// character that is not white space (the breaks before a heading are written
// lazily, so they may fall inside its span). A heading that wrote no visible
// text is dropped, and so is one nested in another at the same place.
void collectHeadings(const std::string& utf8, const QString& text,
                     const std::vector<HeadingSpan>& spans, std::vector<TextHeading>& headings);

} // namespace vt
