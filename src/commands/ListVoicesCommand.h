#pragma once

class QTextStream;

namespace vt {

class SpeechEngine;

// "vellumtone --list-voices": one line per voice, its list position and its
// name. Returns the exit code: 0, or 1 after a description on err.
int listVoicesCommand(SpeechEngine& engine, QTextStream& out, QTextStream& err);

} // namespace vt
