#include "speech/reading/SpeechVoice.h"
#include "support/AudioServer.h"
#include "support/TestEnvironment.h"
#include "support/TestSpeech.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace vt {
namespace {

const ::testing::Environment* const audioServer =
    ::testing::AddGlobalTestEnvironment(new test::AudioServerEnvironment);

// The sound server goes away in the middle of a reading (it crashed, the
// user logged out of the sound session): the voice says so and ends.
TEST(SoundServerGone, TheReadingFailsAndEndsInsteadOfHanging) {
    VT_REQUIRE_AUDIO();
    if (!test::AudioServer::startedHere()) {
        GTEST_SKIP() << "The sound server is shared with other programs; it is not stopped.";
    }
    QString text;
    for (int i = 0; i < 20; ++i) {
        text += QStringLiteral("This reading is much longer than the test lets it run. ");
    }
    test::TestSpeech speech;
    SpeechVoice voice(speech.voices);
    QSignalSpy failed(&voice, &SpeechVoice::failed);
    QSignalSpy done(&voice, &SpeechVoice::done);
    voice.speak(text);
    QTest::qWait(500);
    ASSERT_FALSE(voice.isDone());
    test::AudioServer::shutdown();
    ASSERT_TRUE(test::waitUntil([&] { return done.count() > 0; }, 20000));
    EXPECT_EQ(done.count(), 1);
    ASSERT_EQ(failed.count(), 1);
    EXPECT_TRUE(failed.front().front().toString().startsWith("The audio output device"))
        << failed.front().front().toString().toStdString();
}

} // namespace
} // namespace vt
