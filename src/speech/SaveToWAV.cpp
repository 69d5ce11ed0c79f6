#include "SaveToWAV.h"

#include "AloudSpeech.h"
#include "RenderProcedure.h"
#include "SpeechRenderer.h"
#include "VoiceFailures.h"
#include "WavFileStream.h"
#include "core/TextCodec.h"

#include <QDir>
#include <QFile>
#include <memory>
#include <optional>

namespace vt {

namespace {

QString readTextFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw Failure(QStringLiteral("The text file %1 cannot be read: %2")
                          .arg(QDir::toNativeSeparators(path), file.errorString()));
    }
    return decodeTextFile(file.readAll());
}

// Rows 5 to 12 of the rendering: the file stream, the speaking, the close.
void renderToFile(RenderProcedure& run, const QString& textPath, const QString& wavPath,
                  const std::atomic_bool* cancel) {
    Procedure& steps = run.steps();
    std::unique_ptr<WavFileStream> stream;
    steps.step(114, [&] { stream = std::make_unique<WavFileStream>(); });
    if (!steps.test(116, [&] { return stream != nullptr; }) || !stream) {
        // Without a stream there is nothing to speak into: end without a file.
        run.releaseVoice();
        return;
    }
    steps.step(118, [&] { stream->setFormat(SpeechFormat22kHz16BitMono); });
    steps.step(120, [&] { stream->open(wavPath); });
    std::optional<SpeechRenderer> renderer;
    steps.step(122, [&] { renderer.emplace(*run.voice(), *stream, cancel); });
    try {
        if (!stream->isOpen()) {
            throw Failure(QStringLiteral("There is no open WAV file to speak into."));
        }
        if (!renderer) {
            throw Failure(QStringLiteral("The voice has no audio output."));
        }
        if (!renderer->speak(readTextFile(textPath))) {
            throw SpeechCancelled();
        }
    } catch (const std::exception& failure) {
        // A failed speaking skips the rest: no header, no release.
        stream->discard();
        run.setSpeechFailure(failure);
        return;
    }
    steps.step(128, [&] { stream->close(); });
    run.releaseVoice();
}

void renderAloud(RenderProcedure& run, const QString& text, const std::atomic_bool* cancel) {
    std::optional<AloudOutcome> outcome;
    run.steps().step(136, [&] { outcome = speakAloudAndWait(text, run.voice(), cancel); });
    if (outcome && outcome->failed) {
        run.setSpeechFailure(outcome->description, outcome->voiceUnavailable);
        return;
    }
    run.releaseVoice();
}

} // namespace

void SaveToWAV(const QString& source, const QString& wavPath, const VoiceChoice& voice,
               Dialogs& dialogs, const std::atomic_bool* cancel) {
    RenderProcedure run(dialogs);
    if (!run.prepareVoice(voice)) {
        return;
    }
    if (run.steps().test(112, [&] { return !wavPath.isEmpty(); })) {
        renderToFile(run, source, wavPath, cancel);
    } else {
        renderAloud(run, source, cancel);
    }
    run.checkSpeechFailure();
}

} // namespace vt
