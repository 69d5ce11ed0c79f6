#pragma once

#include "speech/engine/EspeakEngine.h"

#include <QByteArray>
#include <QString>

namespace vt::test {

// The program's eSpeak NG engine that can also say what it would speak as
// phoneme names, to compare what two texts sound like.
class PhonemeEngine final : public EspeakEngine {
  public:
    using EspeakEngine::EspeakEngine;

    // One line per clause, words separated by blanks. Throws like synthesize.
    QString phonemes(const QString& text, const QByteArray& voiceIdentifier);
};

} // namespace vt::test
