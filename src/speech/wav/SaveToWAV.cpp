#include "SaveToWAV.h"

#include "RenderProcedure.h"
#include "WavFileStream.h"
#include "core/Failure.h"
#include "core/files/FileUtils.h"
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

// Where each of the lines starts in text; a line past the end starts at its end.
std::vector<qsizetype> lineOffsets(const QString& text, const std::vector<int>& lines) {
    std::vector<qsizetype> offsets;
    qsizetype at = 0;
    int line = 0;
    for (const int wanted : lines) {
        while (line < wanted && at < text.size()) {
            const qsizetype feed = text.indexOf(u'\n', at);
            at = feed < 0 ? text.size() : feed + 1;
            ++line;
        }
        offsets.push_back(at);
    }
    return offsets;
}

// The file stream, the speaking, the close.
void renderToFile(RenderProcedure& run, const QString& textPath, const QString& wavPath,
                  std::stop_token cancel, WavLineMarks* marks) {
    Procedure& steps = run.steps();
    WavFileStream stream;
    stream.setFormat(SpeechFormat22kHz16BitMono);
    steps.step(RenderStep::OpenFile, [&] { stream.open(wavPath); });
    SpeechRenderer renderer(run.voices(), *run.voice(), stream, cancel);
    try {
        if (!stream.isOpen()) {
            throw Failure(QStringLiteral("There is no open WAV file to speak into."));
        }
        const QString text = readTextFile(textPath);
        if (marks) {
            renderer.setMarks(lineOffsets(text, marks->lines));
        }
        if (!renderer.speak(text)) {
            throw SpeechCancelled();
        }
        if (marks) {
            marks->samples = renderer.markSamples();
        }
    } catch (const std::exception& failure) {
        // A failed speaking skips the rest: no header, no release.
        qCDebug(speechLog) << "rendering" << wavPath << "failed:" << describe(failure);
        stream.discard();
        run.setSpeechFailure(failure);
        return;
    }
    steps.step(RenderStep::CloseFile, [&] {
        try {
            stream.close();
        } catch (const DiskFullFailure&) {
            run.noteDiskFull();
            throw;
        }
    });
    qCDebug(speechLog) << "rendered" << stream.sampleCount() << "samples into" << wavPath;
    run.releaseVoice();
}

} // namespace

namespace {

WavRendering saveToWav(const QString& source, const QString& wavPath, const VoiceChoice& voice,
                       const VoiceCatalogue& voices, Dialogs& dialogs, std::stop_token cancel,
                       WavLineMarks* marks) {
    RenderProcedure run(dialogs, voices);
    if (!run.prepareVoice(voice)) {
        return WavRendering::NotMade;
    }
    renderToFile(run, source, wavPath, std::move(cancel), marks);
    run.checkSpeechFailure();
    if (run.diskFull()) {
        return WavRendering::DiskFull;
    }
    return FileExists(wavPath) ? WavRendering::Made : WavRendering::NotMade;
}

} // namespace

WavRendering SaveToWAV(const QString& source, const QString& wavPath, const VoiceChoice& voice,
                       const VoiceCatalogue& voices, Dialogs& dialogs, std::stop_token cancel) {
    return saveToWav(source, wavPath, voice, voices, dialogs, std::move(cancel), nullptr);
}

WavRendering SaveToWAV(const QString& source, const QString& wavPath, const VoiceChoice& voice,
                       const VoiceCatalogue& voices, Dialogs& dialogs, std::stop_token cancel,
                       WavLineMarks& marks) {
    marks.samples.clear();
    return saveToWav(source, wavPath, voice, voices, dialogs, std::move(cancel), &marks);
}

} // namespace vt
