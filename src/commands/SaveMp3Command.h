#pragma once

#include <QStringList>

class QTextStream;

namespace vt {

class LauncherProgress;
class SpeechEngine;

// vellumtone --save-mp3 ADDRESS [--folder DIR] [--voice N|NAME] [--volume V] [--rate R]
//                       [--article | --whole-page]
// arguments: the program's arguments with or without the program name in
// front, or only what follows --save-mp3 (ADDRESS first). --folder DIR names
// the folder itself (a trailing separator is added when missing).
// Runs the export without a window. Options not given come from the stored
// settings, with the defaults the window starts with. Every message the window
// would show (error reports included) goes to err; the MP3's path goes to out.
// Returns 0 when the MP3 was made, 1 when it was not, 2 for a usage error.
// Ctrl+C cancels the export cleanly. Needs a QCoreApplication.
// The progress also shows on the task-manager entry, on the session bus when
// there is one, or on the launcher's bus.
int saveMp3Command(SpeechEngine& engine, const QStringList& arguments, QTextStream& out,
                   QTextStream& err);
int saveMp3Command(SpeechEngine& engine, const QStringList& arguments, QTextStream& out,
                   QTextStream& err, const LauncherProgress& launcher);

} // namespace vt
