#pragma once

#include "SpeechEngine.h"

namespace vt {

// The speech engine on eSpeak NG, in synchronous mode. The library keeps
// global state, so a program makes one of these at a time.
class EspeakEngine : public SpeechEngine {
  public:
    // dataRoot: the folder holding "espeak-ng-data"; "" for the installed data
    // (or ESPEAK_DATA_PATH). Returns at once; the engine starts on its thread
    // and a start failure is told by every call.
    explicit EspeakEngine(const QString& dataRoot = QString());
    ~EspeakEngine() override;

  protected:
    // Makes the voice the engine's current one (on the engine's thread).
    void loadVoice(const QByteArray& identifier);

  private:
    void startHook() override;
    void stopHook() override;
    VoiceListing listVoicesHook(const QByteArray& language) override;
    bool synthesizeHook(const QByteArray& utf8, const SynthesisSettings& settings,
                        SampleReceiver& receiver, std::stop_token cancel) override;

    void applyParameters(const SynthesisSettings& settings);

    QByteArray m_dataRoot;
    QString m_dataFolder;
    QByteArray m_loadedVoice;
    int m_loadedWordsPerMinute = -1;
    int m_loadedVolume = -1;
};

} // namespace vt
