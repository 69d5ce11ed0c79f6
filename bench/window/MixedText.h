#pragma once

#include <QString>

namespace vt::bench {

// Text like what pages give the reader: paragraphs of English prose with
// digits, punctuation, quotes and dashes (typographic ones too), now and then
// a word with Latin-1 accents, a web address, and a sentence in Chinese or
// Japanese. The same characters every time for a given length.
QString mixedText(qsizetype characters);

} // namespace vt::bench
