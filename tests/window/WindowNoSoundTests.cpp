// Reading and Test Speed on a machine without sound: each ends at once with
// its report, the pointer and caption put back and Busy cleared.
#include "WindowTestSupport.h"
#include "core/SettingsStore.h"
#include "support/LocalHttpServer.h"
#include "support/TestEnvironment.h"

#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace vt;
using vt::test::WindowFixture;
using Kind = vt::test::RecordingDialogs::Kind;

namespace {

// Set before anything touches the audio devices.
class NoSoundServer : public ::testing::Environment {
  public:
    void SetUp() override {
        qputenv(
            "PULSE_SERVER",
            (vt::test::sandboxFolder() + "/no-sound-server/native").toLocal8Bit().prepend("unix:"));
    }
};
const ::testing::Environment* const noSoundServer =
    ::testing::AddGlobalTestEnvironment(new NoSoundServer);

} // namespace

TEST(WindowWithoutSound, AReadingReportsEachPieceAtStep140AndEnds) {
    vt::test::clearSettings();
    vt::test::LocalHttpServer server;
    server.page("/page", "<p>Nothing will be heard of this.</p>");
    WindowFixture f;
    ASSERT_TRUE(f.load());
    f.dialogs.clear();
    f.window->Text1->setText(server.url("/page"));
    f.window->PushButton2->click();
    ASSERT_TRUE(vt::test::waitUntil([&] { return !f.window->busy(); }));
    EXPECT_EQ(f.window->PushButton2->text(), "Start Reading");
    EXPECT_EQ(f.window->mousePointer(), 0);
    const QStringList reports = f.dialogs.textsOf(Kind::ErrorReport);
    // The page's one piece fails; the empty piece after it has nothing to play.
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].startsWith("There is no audio output device"));
    EXPECT_TRUE(reports[0].contains("Speak.SpeakLoud at line 140\r\r"));
}

TEST(WindowWithoutSound, TestSpeedEndsAtOnceWithItsReport) {
    vt::test::clearSettings();
    WindowFixture f;
    ASSERT_TRUE(f.load());
    f.dialogs.clear();
    f.window->PushButton14->click();
    ASSERT_TRUE(vt::test::waitUntil([&] { return !f.window->busy(); }));
    EXPECT_EQ(f.window->mousePointer(), 0);
    EXPECT_EQ(f.dialogs.count(Kind::ErrorReport), 1);
}
