#pragma once

#include "speech/voices/VoiceChoice.h"

#include <QObject>
#include <QString>
#include <memory>

namespace vt {

class Dialogs;
class RenderProcedure;
class SpeechVoice;
class VoiceCatalogue;

// "Test Speed": speaks the test sentence aloud with the chosen voice, volume
// and rate, the way the renderer speaks without a WAV file (same report tag
// and steps, same speech failure check), without blocking the window thread.
class TestSpeedRun : public QObject {
    Q_OBJECT
  public:
    explicit TestSpeedRun(QObject* parent = nullptr);
    // Stops the sentence at once.
    ~TestSpeedRun() override;

    // Returns at once; finished() follows exactly once. A start while running
    // is ignored. The choice's position refers to voices; dialogs must outlive the run.
    void start(const VoiceChoice& choice, const VoiceCatalogue& voices, Dialogs& dialogs);
    bool isRunning() const { return m_running; }

    static QString sentence() { return QStringLiteral("This is a test"); }

  signals:
    // The sentence has been heard, or the run failed (after its report).
    void finished();

  private:
    void onSpoken();
    void endSoon();

    std::unique_ptr<RenderProcedure> m_run;
    std::unique_ptr<SpeechVoice> m_voice;
    bool m_running = false;
};

} // namespace vt
