#include "SpeechEngine.h"

#include "VoiceFailures.h"
#include "VoicePreflight.h"

#include <cstring>
#include <espeak-ng/espeak_ng.h>
#include <exception>
#include <memory>

namespace vt {

namespace {

// Audio comes back in blocks of this many milliseconds: small enough for the
// first sound to follow at once, large enough to keep the callbacks cheap.
constexpr int CallbackBlockMs = 60;

QString statusText(espeak_ng_STATUS status) {
    char buffer[512] = {};
    espeak_ng_GetStatusCodeMessage(status, buffer, sizeof buffer);
    return QString::fromLocal8Bit(buffer);
}

// What the callback needs while one synthesis runs. Only one runs at a time
// (the engine mutex), so a single pointer is enough.
struct ActiveSynthesis {
    SampleReceiver* receiver = nullptr;
    const std::atomic_bool* cancel = nullptr;
    bool cancelled = false;
    std::exception_ptr failure;
};
ActiveSynthesis* active = nullptr;

int synthCallback(short* samples, int count, espeak_EVENT*) {
    ActiveSynthesis* run = active;
    if (!run) {
        return 1;
    }
    if (run->cancel && run->cancel->load()) {
        run->cancelled = true;
        return 1;
    }
    if (samples && count > 0) {
        try {
            run->receiver->receive(samples, count);
        } catch (...) {
            // Exceptions must not cross the C library.
            run->failure = std::current_exception();
            return 1;
        }
    }
    return 0;
}

QByteArray firstLanguage(const espeak_VOICE* voice) {
    // A list of (priority byte, language text) pairs; the first is the main one.
    if (!voice->languages || voice->languages[0] == 0) {
        return {};
    }
    return QByteArray(voice->languages + 1);
}

bool isListable(const espeak_VOICE* voice) {
    // mbrola voices need the separate mbrola synthesiser, which is not part
    // of the installation; their voice files live under "mb/".
    return voice->identifier && voice->name && std::strncmp(voice->identifier, "mb/", 3) != 0;
}

std::mutex startMutex;
std::unique_ptr<SpeechEngine> startedEngine;
QString startFailure;

} // namespace

SpeechEngine& SpeechEngine::instance() {
    std::lock_guard lock(startMutex);
    if (!startedEngine) {
        if (!startFailure.isEmpty()) {
            throw Failure(startFailure);
        }
        try {
            startedEngine.reset(new SpeechEngine);
        } catch (const Failure& failure) {
            startFailure = failure.description();
            throw;
        }
    }
    return *startedEngine;
}

SpeechEngine::SpeechEngine() {
    espeak_ng_InitializePath(nullptr);
    espeak_ng_ERROR_CONTEXT context = nullptr;
    espeak_ng_STATUS status = espeak_ng_Initialize(&context);
    espeak_ng_ClearErrorContext(&context);
    if (status != ENS_OK) {
        throw Failure(QStringLiteral("The speech engine (eSpeak NG) could not start: %1")
                          .arg(statusText(status)));
    }
    status = espeak_ng_InitializeOutput(ENOUTPUT_MODE_SYNCHRONOUS, CallbackBlockMs, nullptr);
    if (status != ENS_OK) {
        throw Failure(QStringLiteral("The speech engine (eSpeak NG) could not start: %1")
                          .arg(statusText(status)));
    }
    if (espeak_ng_GetSampleRate() != SampleRate) {
        throw Failure(QStringLiteral("The speech engine (eSpeak NG) speaks at %1 Hz, not %2 Hz.")
                          .arg(espeak_ng_GetSampleRate())
                          .arg(SampleRate));
    }
    espeak_SetSynthCallback(synthCallback);
    status = espeak_ng_SetParameter(espeakLINELENGTH, PhraseLineLength, 0);
    if (status != ENS_OK) {
        throw Failure(QStringLiteral("The speech engine (eSpeak NG) could not start: %1")
                          .arg(statusText(status)));
    }
    const char* dataPath = nullptr;
    espeak_Info(&dataPath);
    m_dataFolder = dataPath ? QString::fromLocal8Bit(dataPath) : QString();
}

VoiceListing SpeechEngine::listVoices(const QByteArray& language) {
    std::lock_guard lock(m_mutex);
    VoiceListing listing;
    // The returned array belongs to the library and is rebuilt by the next
    // call, so it is copied at once.
    if (const espeak_VOICE** voices = espeak_ListVoices(nullptr)) {
        for (const espeak_VOICE** v = voices; *v; ++v) {
            if (isListable(*v)) {
                listing.voices.push_back({QString::fromUtf8((*v)->name),
                                          QByteArray((*v)->identifier), firstLanguage(*v)});
            }
        }
    }
    if (!language.isEmpty()) {
        espeak_VOICE wanted{};
        wanted.languages = language.constData();
        if (const espeak_VOICE** matches = espeak_ListVoices(&wanted)) {
            for (const espeak_VOICE** v = matches; *v; ++v) {
                if (isListable(*v)) {
                    listing.bestForLanguage = QByteArray((*v)->identifier);
                    break;
                }
            }
        }
    }
    return listing;
}

void SpeechEngine::loadVoice(const QByteArray& identifier) {
    if (identifier == m_loadedVoice) {
        return;
    }
    m_loadedVoice.clear();
    // The library accepts a voice whose dictionary is missing and then fails
    // badly while speaking, so the voice's files are checked first.
    checkVoiceCanRun(m_dataFolder, identifier);
    const espeak_ng_STATUS status = espeak_ng_SetVoiceByName(identifier.constData());
    if (status != ENS_OK) {
        throw VoiceUnavailable(QStringLiteral("The voice \"%1\" cannot be started: %2")
                                   .arg(QString::fromUtf8(identifier), statusText(status)));
    }
    m_loadedVoice = identifier;
    // A voice change may reset the speed and volume.
    m_loadedWordsPerMinute = -1;
    m_loadedVolume = -1;
}

void SpeechEngine::applyParameters(int wordsPerMinute, int volume) {
    if (wordsPerMinute != m_loadedWordsPerMinute) {
        const espeak_ng_STATUS status = espeak_ng_SetParameter(espeakRATE, wordsPerMinute, 0);
        if (status != ENS_OK) {
            throw Failure(
                QStringLiteral("The speech rate could not be set: %1").arg(statusText(status)));
        }
        m_loadedWordsPerMinute = wordsPerMinute;
    }
    if (volume != m_loadedVolume) {
        const espeak_ng_STATUS status = espeak_ng_SetParameter(espeakVOLUME, volume, 0);
        if (status != ENS_OK) {
            throw Failure(
                QStringLiteral("The speech volume could not be set: %1").arg(statusText(status)));
        }
        m_loadedVolume = volume;
    }
}

bool SpeechEngine::synthesize(const QString& text, const SynthesisSettings& settings,
                              SampleReceiver& receiver, const std::atomic_bool* cancel) {
    std::lock_guard lock(m_mutex);
    if (cancel && cancel->load()) {
        return false;
    }
    loadVoice(settings.voiceIdentifier);
    applyParameters(settings.wordsPerMinute, settings.volume);

    QByteArray utf8 = text.toUtf8();
    utf8.replace('\0', ' '); // a NUL would end the text early
    ActiveSynthesis run{&receiver, cancel, false, nullptr};
    active = &run;
    const unsigned int flags = espeakCHARS_UTF8 | (settings.pauseAtEnd ? espeakENDPAUSE : 0);
    const espeak_ng_STATUS status =
        espeak_ng_Synthesize(utf8.constData(), static_cast<size_t>(utf8.size()) + 1, 0,
                             POS_CHARACTER, 0, flags, nullptr, nullptr);
    active = nullptr;

    if (run.failure) {
        std::rethrow_exception(run.failure);
    }
    if (run.cancelled) {
        return false;
    }
    if (status != ENS_OK && status != ENS_SPEECH_STOPPED) {
        throw Failure(QStringLiteral("The speech engine failed: %1").arg(statusText(status)));
    }
    return true;
}

QString SpeechEngine::phonemes(const QString& text, const QByteArray& voiceIdentifier) {
    std::lock_guard lock(m_mutex);
    loadVoice(voiceIdentifier);
    QByteArray utf8 = text.toUtf8();
    utf8.replace('\0', ' ');
    QString transcript;
    const void* position = utf8.constData();
    while (position) {
        // One clause per call; the position moves on, and is null at the end.
        const char* clause = espeak_TextToPhonemes(&position, espeakCHARS_UTF8, 0);
        const QString words = QString::fromUtf8(clause ? clause : "").trimmed();
        if (!words.isEmpty()) {
            transcript += words + u'\n';
        }
    }
    return transcript;
}

} // namespace vt
