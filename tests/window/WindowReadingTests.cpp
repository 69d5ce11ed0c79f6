// Reading aloud through the window, with a local web server and the real
// engine playing into the test null sink.
#include "WindowTestSupport.h"
#include "core/SettingsStore.h"
#include "support/AudioServer.h"
#include "support/LocalHttpServer.h"
#include "support/TestEnvironment.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <gtest/gtest.h>

using namespace vt;
using vt::test::WindowFixture;
using Kind = vt::test::RecordingDialogs::Kind;

namespace {

const ::testing::Environment* const audioServer =
    ::testing::AddGlobalTestEnvironment(new vt::test::AudioServerEnvironment);

QByteArray pageOfSentences(int sentences) {
    QByteArray body = "<html><head><title>Not read</title></head><body>";
    for (int i = 0; i < sentences; ++i) {
        body += "<p>This is sentence number " + QByteArray::number(i) + " of the page.</p>";
    }
    return body + "</body></html>";
}

// Samples from index `from` on that carry sound (the null sink's monitor
// delivers silence when nothing plays).
qsizetype audibleSamples(const std::vector<qint16>& samples, qsizetype from) {
    qsizetype count = 0;
    for (std::size_t i = static_cast<std::size_t>(from); i < samples.size(); ++i) {
        count += std::abs(samples[i]) > 16 ? 1 : 0;
    }
    return count;
}

} // namespace

class WindowReading : public ::testing::Test {
  protected:
    void SetUp() override {
        vt::test::clearSettings();
        SettingsStore().write(key::SpeechRate, "10"); // keep the readings short
        ASSERT_TRUE(f.load());
        f.dialogs.clear();
        server.page("/short", pageOfSentences(2));
        server.page("/long", pageOfSentences(20));
        server.page("/empty", "<html><body><script>var hidden = 1;</script></body></html>");
    }
    Form1& w() { return *f.window; }
    QString caption() { return w().PushButton2->text(); }
    bool idle() { return caption() == "Start Reading" && !w().busy(); }

    vt::test::LocalHttpServer server;
    WindowFixture f;
};

TEST_F(WindowReading, StartPauseResumeAndTheEndOfTheReading) {
    VT_REQUIRE_AUDIO();
    vt::test::MonitorRecorder recorder;
    ASSERT_TRUE(recorder.start());
    w().Text1->setText(server.url("/long"));
    w().Text2->setPlainText("This text is not what is read.");
    w().PushButton2->click();
    EXPECT_EQ(caption(), "Pause");
    EXPECT_TRUE(w().busy());
    EXPECT_EQ(w().mousePointer(), 11);

    ASSERT_TRUE(vt::test::waitUntil(
        [&] { return w().readingState() == ReadingController::State::Speaking; }));
    // Others are turned away while the reading runs.
    w().PushButton14->click();
    w().PushButton8->click();
    w().Slider1->setValue(80);
    EXPECT_TRUE(vt::test::waitUntil([&] { return f.dialogs.count(Kind::Notice) == 2; }));
    EXPECT_EQ(w().Slider1->value(), 50);
    EXPECT_EQ(w().Frame1->title(), "Volume Level = 50");
    EXPECT_EQ(f.dialogs.textsOf(Kind::Notice),
              QStringList(2, "You can not adjust because file is being saved now."));
    EXPECT_EQ(SettingsStore().read(key::VolumeLevel, ""), "50");

    ASSERT_TRUE(vt::test::waitUntil(
        [&] { return audibleSamples(recorder.samples(), 0) > 22050 / 2; }, 30000));
    w().PushButton2->click();
    EXPECT_EQ(caption(), "Resume");
    EXPECT_EQ(w().readingState(), ReadingController::State::Paused);
    QTest::qWait(300); // what was already in flight plays out
    const qsizetype atPause = recorder.sampleCount();
    QTest::qWait(1000);
    EXPECT_EQ(audibleSamples(recorder.samples(), atPause), 0) << "speech went on while paused";

    w().PushButton2->click();
    EXPECT_EQ(caption(), "Pause");
    ASSERT_TRUE(vt::test::waitUntil([&] { return idle(); }, 120000));
    EXPECT_EQ(w().mousePointer(), 0);
    EXPECT_EQ(server.hits("/long"), 1);
    EXPECT_EQ(f.dialogs.count(Kind::ErrorReport), 0);
}

TEST_F(WindowReading, EditingTheTextDuringAReadingOnlyResetsTheCaption) {
    VT_REQUIRE_AUDIO();
    w().Text1->setText(server.url("/short"));
    w().PushButton2->click();
    ASSERT_TRUE(vt::test::waitUntil(
        [&] { return w().readingState() == ReadingController::State::Speaking; }));
    w().Text2->setPlainText("edited");
    EXPECT_EQ(caption(), "Start Reading");
    EXPECT_TRUE(w().busy());
    ASSERT_TRUE(vt::test::waitUntil([&] { return !w().busy(); }, 60000));
    EXPECT_EQ(caption(), "Start Reading");
}

TEST_F(WindowReading, APausedReadingUnderAStartCaptionGivesWayToANewOne) {
    VT_REQUIRE_AUDIO();
    w().Text1->setText(server.url("/long"));
    w().PushButton2->click();
    ASSERT_TRUE(vt::test::waitUntil(
        [&] { return w().readingState() == ReadingController::State::Speaking; }));
    w().PushButton2->click();
    ASSERT_EQ(caption(), "Resume");
    w().Text2->setPlainText("changed");
    ASSERT_EQ(caption(), "Start Reading");
    w().Text1->setText(server.url("/short"));
    w().PushButton2->click();
    EXPECT_EQ(caption(), "Pause");
    ASSERT_TRUE(vt::test::waitUntil([&] { return idle(); }, 60000));
    EXPECT_EQ(server.hits("/short"), 1);
}

TEST_F(WindowReading, APageWithoutTextEndsWithTheMessageOnce) {
    w().Text1->setText(server.url("/empty"));
    w().PushButton2->click();
    ASSERT_TRUE(vt::test::waitUntil([&] { return idle(); }));
    EXPECT_EQ(f.dialogs.textsOf(Kind::Notice),
              QStringList{"No text to read. Select a file above to read."});
    EXPECT_EQ(f.dialogs.count(Kind::ErrorReport), 0);
    EXPECT_EQ(w().mousePointer(), 0);
}

TEST_F(WindowReading, AnUnreachablePageIsReportedAtStep114ThenHasNoText) {
    w().Text1->setText(server.url("/missing"));
    w().PushButton2->click();
    ASSERT_TRUE(vt::test::waitUntil([&] { return idle(); }));
    const QStringList reports = f.dialogs.textsOf(Kind::ErrorReport);
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].contains("Speak.SpeakLoud at line 114\r\r"));
    EXPECT_EQ(f.dialogs.textsOf(Kind::Notice),
              QStringList{"No text to read. Select a file above to read."});
    w().PushButton2->click(); // a new reading fetches afresh
    ASSERT_TRUE(vt::test::waitUntil([&] { return idle() && f.dialogs.count(Kind::Notice) == 2; }));
}

TEST_F(WindowReading, AVoicePositionThatNoLongerExistsIsReportedAt122AndTheDefaultReads) {
    VT_REQUIRE_AUDIO();
    w().Combo1->addItem("A voice removed since the list was filled");
    w().Combo1->setCurrentIndex(w().Combo1->count() - 1);
    w().Text1->setText(server.url("/short"));
    w().PushButton2->click();
    ASSERT_TRUE(vt::test::waitUntil([&] { return idle(); }, 60000));
    const QStringList reports = f.dialogs.textsOf(Kind::ErrorReport);
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].contains("Speak.SpeakLoud at line 122\r\r"));
}

TEST_F(WindowReading, AClickThatTakesTheFocusFromTheAddressReadsTheCompletedAddress) {
    w().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w()));
    w().Text1->setFocus(Qt::MouseFocusReason);
    server.page("/empty", "<p></p>");
    w().Text1->setText(server.url("/empty").mid(QString("http://").size()));
    QTest::mouseClick(w().PushButton2, Qt::LeftButton);
    EXPECT_TRUE(w().Text1->text().startsWith("http://127.0.0.1:"));
    ASSERT_TRUE(vt::test::waitUntil([&] { return idle(); }));
    EXPECT_EQ(server.hits("/empty"), 1);
    EXPECT_EQ(f.dialogs.count(Kind::ErrorReport), 0);
}

TEST_F(WindowReading, PauseDuringTheFetchWaitsForTheVoice) {
    vt::test::HttpRoute silent;
    silent.behaviour = vt::test::HttpRoute::Behaviour::NeverAnswer;
    server.route("/silent", silent);
    w().Text1->setText(server.url("/silent"));
    w().PushButton2->click();
    ASSERT_EQ(caption(), "Pause");
    w().PushButton2->click();
    EXPECT_EQ(caption(), "Pause");
    EXPECT_EQ(w().readingState(), ReadingController::State::Fetching);
    EXPECT_EQ(f.dialogs.count(Kind::ErrorReport), 0);
}

TEST_F(WindowReading, ClosingDuringAReadingEndsAtOnce) {
    VT_REQUIRE_AUDIO();
    w().Text1->setText(server.url("/long"));
    w().PushButton2->click();
    ASSERT_TRUE(vt::test::waitUntil(
        [&] { return w().readingState() == ReadingController::State::Speaking; }));
    bool closed = false;
    QObject::connect(f.window.get(), &Form1::closed, [&] { closed = true; });
    w().close();
    EXPECT_TRUE(closed);
    EXPECT_EQ(f.dialogs.count(Kind::Question), 0);
}

TEST_F(WindowReading, TestSpeedHoldsBusyUntilTheSentenceIsHeard) {
    VT_REQUIRE_AUDIO();
    w().PushButton14->click();
    EXPECT_TRUE(w().busy());
    EXPECT_EQ(w().mousePointer(), 11);
    w().Slider2->setValue(0);
    EXPECT_TRUE(vt::test::waitUntil([&] { return f.dialogs.count(Kind::Notice) == 2; }));
    EXPECT_EQ(w().Slider2->value(), 10);
    ASSERT_TRUE(vt::test::waitUntil([&] { return !w().busy(); }, 30000));
    EXPECT_EQ(w().mousePointer(), 0);
    EXPECT_EQ(f.dialogs.count(Kind::ErrorReport), 0);
}

TEST_F(WindowReading, RefreshListAndAddVoicesAnswerThroughTheDialogs) {
    const int voices = w().Combo1->count();
    ASSERT_GT(voices, 0);
    EXPECT_EQ(w().Combo1->currentIndex(), 0);
    w().PushButton3->click();
    EXPECT_EQ(w().Combo1->count(), voices);
    ASSERT_EQ(f.dialogs.count(Kind::Notice), 1);
    EXPECT_EQ(f.dialogs.textsOf(Kind::Notice)[0],
              "Done.\r\rList has been refreshed with the latest voices found within the eSpeak NG "
              "voice data on this computer.");

    w().PushButton1->click(); // answered No
    EXPECT_EQ(f.dialogs.count(Kind::OpenUrl), 0);
    f.dialogs.queueAnswer(true);
    w().PushButton1->click();
    const QStringList opened = f.dialogs.textsOf(Kind::OpenUrl);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0], "https://duckduckgo.com/?q=espeak%20ng%20voices");
    EXPECT_EQ(f.dialogs.textsOf(Kind::Question)[0],
              "This software uses eSpeak NG Text to Speech (TTS) as its backbone. If you would "
              "like to add voices, you need to:\r\n\r\n"
              "1. Find them on the web or among your distribution's packages (espeak-ng-data, "
              "mbrola and its voices such as mbrola-us1).\r\n"
              "2. Install them with your package manager, for example: sudo apt install mbrola "
              "mbrola-us1\r\n"
              "3. Click the 'Refresh List' button in this software.\r\n\r\n"
              "Would you like to see the voices available for download on the web?");
}

TEST_F(WindowReading, ChoosingAVoiceIsRememberedForTheNextStart) {
    ASSERT_GT(w().Combo1->count(), 1);
    w().Combo1->setCurrentIndex(1);
    emit w().Combo1->activated(1);
    EXPECT_EQ(SettingsStore().read(key::Combo1, ""), "1");
    WindowFixture next;
    ASSERT_TRUE(next.load());
    EXPECT_EQ(next.window->Combo1->currentIndex(), 1);
}
