#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <gtest/gtest.h>
#include <vector>

namespace vt::test {

// A PulseAudio server with the test null sink as its default output, made
// reachable for this process through PULSE_SERVER. Each test program starts
// its own (scripts/test-audio.sh in a private folder), so no other program's
// sound reaches its recordings; it stops it at the end. Falls back to a
// server already named by PULSE_SERVER or started by the script's default.
class AudioServer {
  public:
    // Must run before anything touches the audio devices; available() runs
    // it on first use, so a test that starts with VT_REQUIRE_AUDIO is safe.
    static void prepare();
    static void shutdown();
    static bool available();
    static QString unavailableReason();
    // True when this program started the server (and may stop it).
    static bool startedHere();
    // The source that hears what the null sink plays.
    static QString monitorSource();
};

// Stops the server this test program started, when the program ends.
class AudioServerEnvironment : public ::testing::Environment {
  public:
    void TearDown() override { AudioServer::shutdown(); }
};

// Records the null sink's monitor in real time as 22,050 Hz mono 16-bit.
// Samples arrive while the event loop runs.
class MonitorRecorder {
  public:
    MonitorRecorder();
    ~MonitorRecorder();
    bool start(); // false when parec does not run
    void stop();
    // Everything received so far.
    const std::vector<qint16>& samples();
    qsizetype sampleCount() { return static_cast<qsizetype>(samples().size()); }

  private:
    void take();

    QProcess m_process;
    QByteArray m_pending;
    std::vector<qint16> m_samples;
};

} // namespace vt::test

// Skips the current test when no audio server can be reached.
#define VT_REQUIRE_AUDIO()                                                                         \
    do {                                                                                           \
        if (!::vt::test::AudioServer::available()) {                                               \
            GTEST_SKIP() << "No PulseAudio sink can be reached: "                                  \
                         << ::vt::test::AudioServer::unavailableReason().toStdString();            \
        }                                                                                          \
    } while (false)
