#pragma once

#include <QByteArray>
#include <QString>

namespace vt {

// Checks that the files a voice needs are present in the engine's data
// folder: its voice file and its pronunciation dictionary. Throws
// VoiceUnavailable with a description otherwise.
void checkVoiceCanRun(const QString& dataFolder, const QByteArray& identifier);

} // namespace vt
