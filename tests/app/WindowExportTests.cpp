// "Save Audio As MP3" and the skin, through the window.
#include "WindowTestSupport.h"
#include "app/core/FileUtils.h"
#include "app/core/SettingsStore.h"
#include "support/LocalHttpServer.h"
#include "support/TestEnvironment.h"

#include <QBuffer>
#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
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
    EXPECT_EQ(w().Slider1->value(), 50);
    w().PushButton2->click(); // turned away
    EXPECT_EQ(w().PushButton2->text(), "Start Reading");
    ASSERT_TRUE(vt::test::waitUntil([&] { return !w().busy(); }, 120000));
    EXPECT_EQ(w().mousePointer(), 0);
    EXPECT_EQ(pointerAtDone, 0);
    const QString mp3 =
        out.filePath("http127.0.0.1" + QString::number(server.port()) + "short.mp3");
    EXPECT_TRUE(FileExists(mp3)) << mp3.toStdString();
    EXPECT_EQ(f.dialogs.textsOf(Kind::Notice),
              QStringList({"You can not adjust because file is being saved now.", "Done."}));
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

// The skin file lives beside the program, here beside the test program.
class WindowSkin : public ::testing::Test {
  protected:
    void TearDown() override { QDir(ApplicationFolder() + "/x").removeRecursively(); }
    void writeSkin(const QByteArray& bytes) {
        QDir(ApplicationFolder()).mkpath("x");
        vt::test::writeAll(ApplicationFolder() + "/x/o.cjs", bytes);
    }
};

TEST_F(WindowSkin, WithoutTheFileNothingChanges) {
    vt::test::clearSettings();
    WindowFixture f;
    ASSERT_TRUE(f.load());
    EXPECT_EQ(f.window->Frame1->palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_EQ(f.window->palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_TRUE(f.window->styleSheet().isEmpty());
    EXPECT_EQ(f.dialogs.entries().size(), 0);
}

TEST_F(WindowSkin, TheFileSkinsTheWindowFramesAndLabels) {
    writeSkin("QPushButton { color: rgb(1, 2, 3); }");
    vt::test::clearSettings();
    WindowFixture f;
    ASSERT_TRUE(f.load());
    const QColor face = f.window->PushButton1->palette().color(QPalette::Button);
    EXPECT_NE(f.window->Frame1->palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_NE(f.window->Label2->palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_EQ(f.window->PushButton8->palette().color(QPalette::ButtonText), QColor(1, 2, 3));
    EXPECT_TRUE(face.isValid());
    EXPECT_EQ(f.dialogs.entries().size(), 0);
}

TEST_F(WindowSkin, ADamagedFileIsReportedAtStep102AndStartUpGoesOn) {
    writeSkin(QByteArray("\x00\xff\xfe garbage", 12));
    vt::test::clearSettings();
    WindowFixture f;
    ASSERT_TRUE(f.load());
    const QStringList reports = f.dialogs.textsOf(Kind::ErrorReport);
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].contains("Form1.Form_Load at line 102\r\r"));
    EXPECT_EQ(f.window->Frame1->title(), "Volume Level = 50");
}

class WindowPointerPicture : public ::testing::Test {
  protected:
    QString path() const { return ApplicationFolder() + "/HAND-M.CUR"; }
    void TearDown() override { QFile::remove(path()); }
};

TEST_F(WindowPointerPicture, TheCursorFileBesideTheProgramIsTheHandWithItsHotSpot) {
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::black);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    ASSERT_TRUE(image.save(&buffer, "ICO"));
    bytes[2] = 2;  // a cursor file
    bytes[10] = 3; // hot spot x
    bytes[12] = 1; // hot spot y
    vt::test::writeAll(path(), bytes);

    vt::test::clearSettings();
    WindowFixture f;
    ASSERT_TRUE(f.load());
    EXPECT_EQ(f.dialogs.entries().size(), 0);
    vt::test::moveOver(f.window->PushButton3);
    EXPECT_EQ(f.window->mousePointer(), 99);
    EXPECT_FALSE(f.window->cursor().pixmap().isNull());
    EXPECT_EQ(f.window->cursor().hotSpot(), QPoint(3, 1));
}

TEST_F(WindowPointerPicture, ADamagedCursorFileIsReportedAtStep106) {
    vt::test::writeAll(path(), "not a cursor");
    vt::test::clearSettings();
    WindowFixture f;
    ASSERT_TRUE(f.load());
    const QStringList reports = f.dialogs.textsOf(Kind::ErrorReport);
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].contains("Form1.Form_Load at line 106\r\r"));
    vt::test::moveOver(f.window->PushButton3);
    EXPECT_EQ(f.window->cursor().shape(), Qt::PointingHandCursor);
}
