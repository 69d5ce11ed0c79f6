#include "EspeakEngine.h"

#include "VoiceFailures.h"
#include "VoicePreflight.h"
#include "speech/SpeechLog.h"

#include <QFile>
#include <cstring>
#include <espeak-ng/espeak_ng.h>
#include <exception>

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

// What the callback needs while one synthesis runs; it travels as the
// synthesis' user data.
struct ActiveSynthesis {
    SampleReceiver* receiver = nullptr;
    std::stop_token cancel;
    bool cancelled = false;
    std::exception_ptr failure;
};

int synthCallback(short* samples, int count, espeak_EVENT* events) {
    auto* run = events ? static_cast<ActiveSynthesis*>(events->user_data) : nullptr;
    if (!run) {
        return 1;
    }
    if (run->cancel.stop_requested()) {
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

void check(espeak_ng_STATUS status, const QString& what) {
    if (status != ENS_OK) {
        throw Failure(what.arg(statusText(status)));
    }
}

} // namespace

EspeakEngine::EspeakEngine(const QString& dataRoot) : m_dataRoot(QFile::encodeName(dataRoot)) {
    startWorker();
}

EspeakEngine::~EspeakEngine() {
    stopWorker();
}

void EspeakEngine::startHook() {
    espeak_ng_InitializePath(m_dataRoot.isEmpty() ? nullptr : m_dataRoot.constData());
    espeak_ng_ERROR_CONTEXT context = nullptr;
    const espeak_ng_STATUS status = espeak_ng_Initialize(&context);
    espeak_ng_ClearErrorContext(&context);
    const QString cannotStart = QStringLiteral("The speech engine (eSpeak NG) could not start: %1");
    check(status, cannotStart);
    check(espeak_ng_InitializeOutput(ENOUTPUT_MODE_SYNCHRONOUS, CallbackBlockMs, nullptr),
          cannotStart);
    if (espeak_ng_GetSampleRate() != SampleRate) {
        throw Failure(QStringLiteral("The speech engine (eSpeak NG) speaks at %1 Hz, not %2 Hz.")
                          .arg(espeak_ng_GetSampleRate())
                          .arg(SampleRate));
    }
    espeak_SetSynthCallback(synthCallback);
    check(espeak_ng_SetParameter(espeakLINELENGTH, PhraseLineLength, 0), cannotStart);
    const char* dataPath = nullptr;
    espeak_Info(&dataPath);
    m_dataFolder = dataPath ? QString::fromLocal8Bit(dataPath) : QString();
    qCDebug(speechLog) << "eSpeak NG started, data in" << m_dataFolder;
}

void EspeakEngine::stopHook() {
    // No espeak_ng_Terminate: in eSpeak NG 1.51 it hangs once the library was
    // initialised on another thread before, as a later engine's is. A later
    // engine initialises the library afresh, which is all it needs.
    qCDebug(speechLog) << "speech engine stopped";
}

VoiceListing EspeakEngine::listVoicesHook(const QByteArray& language) {
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
    qCDebug(speechLog) << listing.voices.size() << "voices listed; best for" << language << "is"
                       << listing.bestForLanguage;
    return listing;
}

void EspeakEngine::loadVoice(const QByteArray& identifier) {
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
    qCDebug(speechLog) << "voice loaded:" << identifier;
    m_loadedVoice = identifier;
    // A voice change may reset the speed and volume.
    m_loadedWordsPerMinute = -1;
    m_loadedVolume = -1;
}

void EspeakEngine::applyParameters(const SynthesisSettings& settings) {
    const struct {
        espeak_PARAMETER parameter;
        int wanted;
        int& loaded;
        const char* name;
    } parameters[] = {{espeakRATE, settings.wordsPerMinute, m_loadedWordsPerMinute, "rate"},
                      {espeakVOLUME, settings.volume, m_loadedVolume, "volume"}};
    for (const auto& p : parameters) {
        if (p.wanted == p.loaded) {
            continue;
        }
        const espeak_ng_STATUS status = espeak_ng_SetParameter(p.parameter, p.wanted, 0);
        if (status != ENS_OK) {
            throw Failure(QStringLiteral("The speech %1 could not be set: %2")
                              .arg(QLatin1String(p.name), statusText(status)));
        }
        p.loaded = p.wanted;
    }
}

bool EspeakEngine::synthesizeHook(const QByteArray& utf8, const SynthesisSettings& settings,
                                  SampleReceiver& receiver, std::stop_token cancel) {
    loadVoice(settings.voiceIdentifier);
    applyParameters(settings);
    ActiveSynthesis run{&receiver, std::move(cancel), false, nullptr};
    const unsigned int flags = espeakCHARS_UTF8 | (settings.pauseAtEnd ? espeakENDPAUSE : 0);
    const espeak_ng_STATUS status =
        espeak_ng_Synthesize(utf8.constData(), static_cast<size_t>(utf8.size()) + 1, 0,
                             POS_CHARACTER, 0, flags, nullptr, &run);
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

} // namespace vt
