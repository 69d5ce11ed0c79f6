#include "SaveToWAV.h"

#include "RenderProcedure.h"
#include "WavFileStream.h"
#include "core/TextCodec.h"
#include "speech/SpeechLog.h"
#include "speech/engine/VoiceFailures.h"
#include "speech/synthesis/SpeechRenderer.h"

#include <QDir>
#include <QFile>

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

// The file stream, the speaking, the close.
void renderToFile(RenderProcedure& run, const QString& textPath, const QString& wavPath,
                  std::stop_token cancel) {
    Procedure& steps = run.steps();
    WavFileStream stream;
    stream.setFormat(SpeechFormat22kHz16BitMono);
    steps.step(RenderStep::OpenFile, [&] { stream.open(wavPath); });
    SpeechRenderer renderer(run.voices(), *run.voice(), stream, cancel);
    try {
        if (!stream.isOpen()) {
            throw Failure(QStringLiteral("There is no open WAV file to speak into."));
        }
        if (!renderer.speak(readTextFile(textPath))) {
            throw SpeechCancelled();
        }
    } catch (const std::exception& failure) {
        // A failed speaking skips the rest: no header, no release.
        qCDebug(speechLog) << "rendering" << wavPath << "failed:" << describe(failure);
        stream.discard();
        run.setSpeechFailure(failure);
        return;
    }
    steps.step(RenderStep::CloseFile, [&] { stream.close(); });
    qCDebug(speechLog) << "rendered" << stream.sampleCount() << "samples into" << wavPath;
    run.releaseVoice();
}

} // namespace

void SaveToWAV(const QString& source, const QString& wavPath, const VoiceChoice& voice,
               const VoiceCatalogue& voices, Dialogs& dialogs, std::stop_token cancel) {
    RenderProcedure run(dialogs, voices);
    if (!run.prepareVoice(voice)) {
        return;
    }
    renderToFile(run, source, wavPath, std::move(cancel));
    run.checkSpeechFailure();
}

} // namespace vt
