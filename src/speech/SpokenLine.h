#pragma once

#include <QString>
#include <QStringView>

namespace vt {

// One line of page text as the engine is given it: its ordinary words
// lower-cased (lowerOrdinaryWords), cleaned (CleanSpeechText), and where the
// lower-casing would hide a sentence end from the engine (a full stop, blanks,
// then an upper-case letter of any script) a line feed in place of the blank
// after the full stop. The length does not change. out is overwritten; reused
// from line to line, it makes no allocation once it has grown.
void makeSpokenLine(QStringView line, QString& out);

} // namespace vt
