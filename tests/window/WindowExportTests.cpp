// "Save Audio As MP3" and the skin, through the window.
#include "WindowTestSupport.h"
#include "core/files/FileUtils.h"
#include "core/SettingsStore.h"
#include "support/LocalHttpServer.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace vt;
using vt::test::WindowFixture;
using Kind = vt::test::RecordingDialogs::Kind;

namespace {

QStringList leftoversInTemp() {
    return QDir(qEnvironmentVariable("TEMP")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
}

} // namespace

class WindowExport : public ::testing::Test {
  protected:
    void SetUp() override {
        vt::test::clearSettings();
        SettingsStore().write(key::SpeechRate, "10");
        SettingsStore().write(key::Text3, QDir::toNativeSeparators(out.path()) + QDir::separator());
        ASSERT_TRUE(f.load());
        f.dialogs.clear();
        QString body = "<p>";
        for (int i = 0; i < 300; ++i) {
            body += QStringLiteral("Sentence %1 of a page long enough to take a while. ").arg(i);
        }
        server.page("/page", (body + "</p>").toUtf8());
        server.page("/short", "<p>A short page.</p>");
        tempBefore = leftoversInTemp();
    }
    Form1& w() { return *f.window; }

    vt::test::LocalHttpServer server;
    QTemporaryDir out;
    WindowFixture f;
    QStringList tempBefore;
};

TEST_F(WindowExport, TheJobRunsOffTheWindowThreadAndEndsWithDone) {
    // The page is held back until the slider has been refused, so the job is
    // surely still running then, however fast it would otherwise end.
    vt::test::HttpRoute held;
    held.headers = {{"Content-Type", "text/html; charset=utf-8"}};
    held.body = "<p>A short page.</p>";
    held.behaviour = vt::test::HttpRoute::Behaviour::Held;
    server.route("/short", held);
    w().Text1->setText(server.url("/short"));
    // The hourglass is off by the time "Done." is shown.
    int pointerAtDone = -1;
    f.dialogs.setObserver([&](Kind kind, const QString& text) {
        if (kind == Kind::Notice && text == "Done.") {
            pointerAtDone = w().mousePointer();
        }
    });
    w().PushButton8->click();
    EXPECT_TRUE(w().busy());
    ASSERT_TRUE(vt::test::waitUntil([&] { return w().mousePointer() == 11; }));
    w().Slider1->setValue(70); // refused while the job runs
    EXPECT_TRUE(vt::test::waitUntil([&] { return f.dialogs.count(Kind::Notice) >= 2; }));
    EXPECT_EQ(w().Slider1->value(), 50);
    w().PushButton2->click(); // turned away
    EXPECT_EQ(w().PushButton2->text(), "Start Reading");
    EXPECT_TRUE(w().busy()); // the window is not held up by the page it waits for
    EXPECT_EQ(f.dialogs.count(Kind::Notice), 2);
    server.release("/short");
    ASSERT_TRUE(vt::test::waitUntil([&] { return !w().busy(); }, 120000));
    EXPECT_EQ(w().mousePointer(), 0);
    EXPECT_EQ(pointerAtDone, 0);
    const QString mp3 =
        out.filePath("http127.0.0.1" + QString::number(server.port()) + "short.mp3");
    EXPECT_TRUE(FileExists(mp3)) << mp3.toStdString();
    EXPECT_EQ(f.dialogs.textsOf(Kind::Notice),
              QStringList({"You can not adjust because file is being saved now.",
                           "You can not adjust because file is being saved now.", "Done."}));
    EXPECT_EQ(leftoversInTemp(), tempBefore);
}

TEST_F(WindowExport, ABlankAddressIsRefusedAndBusyIsCleared) {
    int pointerAtRefusal = -1;
    f.dialogs.setObserver([&](Kind, const QString&) { pointerAtRefusal = w().mousePointer(); });
    w().PushButton8->click();
    ASSERT_TRUE(vt::test::waitUntil([&] { return !w().busy(); }));
    EXPECT_EQ(f.dialogs.textsOf(Kind::Notice), QStringList{"Website is blank"});
    EXPECT_EQ(pointerAtRefusal, 0) << "no hourglass before the request is accepted";
    EXPECT_EQ(w().mousePointer(), 0);
}

TEST_F(WindowExport, ClosingDuringAnExportStopsItAndLeavesNothing) {
    w().Text1->setText(server.url("/page"));
    w().PushButton8->click();
    QTest::qWait(1500); // well inside the rendering
    ASSERT_TRUE(w().busy());
    bool closed = false;
    QObject::connect(f.window.get(), &Form1::closed, [&] { closed = true; });
    w().close();
    ASSERT_TRUE(vt::test::waitUntil([&] { return closed; }, 20000));
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files), QStringList());
    EXPECT_EQ(leftoversInTemp(), tempBefore);
    EXPECT_EQ(f.dialogs.count(Kind::Notice), 0);
    EXPECT_EQ(f.dialogs.count(Kind::ErrorReport), 0);
}
