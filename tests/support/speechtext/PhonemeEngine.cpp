#include "PhonemeEngine.h"

#include <espeak-ng/speak_lib.h>

namespace vt::test {

QString PhonemeEngine::phonemes(const QString& text, const QByteArray& voiceIdentifier) {
    QByteArray utf8 = text.toUtf8();
    utf8.replace('\0', ' '); // a NUL would end the text early
    QString transcript;
    runOnEngineThread([&] {
        loadVoice(voiceIdentifier);
        const void* position = utf8.constData();
        while (position) {
            // One clause per call; the position moves on, and is null at the end.
            const char* clause = espeak_TextToPhonemes(&position, espeakCHARS_UTF8, 0);
            const QString words = QString::fromUtf8(clause ? clause : "").trimmed();
            if (!words.isEmpty()) {
                transcript += words + u'\n';
            }
        }
    });
    return transcript;
}

} // namespace vt::test
