#pragma once

#include <QString>
#include <vector>

namespace vt {

class Dialogs;

// Cuts a page text file (UTF-8) into numbered part files beside it, named
// StripExtension(path) + index ("001", ... "999", "1000") + ".txt". Every line
// loses its "&#xa0;" entities, has its ordinary words lower-cased (acronyms
// and inner capitals stay), is cleaned for speech, and is written (UTF-8)
// followed by a line feed; a sentence end inside a line that the lower-casing
// would hide from the engine (a full stop before an upper-case letter of any
// script) gets a line feed in place of the blank after its full stop. The character count of a part
// adds up the cleaned lines without their line feeds. A part is cut right after the line that
// brought its line counter (starting at 1) to the line limit or its character count to the size
// limit; both limits follow from the speech rate. The input is read line by line and deleted at the
// end. Returns the number of parts; 0 when the input cannot be opened (reported once).
int CutTextFileFSO(const QString& path, int rate, Dialogs& dialogs);

// Where a line of the page text file went: its part and the line (0 the
// first) of the part file its text starts on.
struct PartLine {
    int part = 0;
    int line = 0;
};

// The same, also telling where each line of the input went (one entry per line).
int CutTextFileFSO(const QString& path, int rate, Dialogs& dialogs,
                   std::vector<PartLine>& lineStarts);

} // namespace vt
