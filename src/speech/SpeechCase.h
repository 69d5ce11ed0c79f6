#pragma once

#include <QString>

namespace vt {

// Lower-cases the ordinary words of the text in place, so a capital that only
// starts a sentence or a name does not change how the engine reads the word.
// A word whose capitals are its pronunciation keeps its case: one with an
// upper-case letter after its first letter, which covers acronyms ("US",
// "WHO", "ATF") and inner capitals ("iPhone", "McDonald", "O'Brien"). A word
// is a run of letters, marks, digits and apostrophes. The length does not
// change: each character becomes its simple lower-case mapping.
void lowerOrdinaryWords(QString& text);
void lowerOrdinaryWords(char16_t* text, qsizetype length);

} // namespace vt
