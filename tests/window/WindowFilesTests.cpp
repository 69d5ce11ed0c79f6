// The optional files beside the program: the skin and the pointer picture.
// These tests write beside their own program, so they run alone (see CMakeLists).
#include "WindowTestSupport.h"
#include "core/files/FileUtils.h"
#include "support/TestEnvironment.h"
#include "window/form/OptionalFiles.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace vt;
using vt::test::WindowFixture;
using Kind = vt::test::RecordingDialogs::Kind;

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

// An installed program finds the files in its data folder when none are beside it.
class WindowInstalledFiles : public ::testing::Test {
  protected:
    QString dataFolder() const { return installedDataFolder(ApplicationFolder()); }
    void TearDown() override {
        QDir(dataFolder()).removeRecursively();
        QDir(ApplicationFolder() + "/x").removeRecursively();
    }
};

TEST_F(WindowInstalledFiles, TheDataFolderSitsBesideTheProgramFolderUnderShare) {
    EXPECT_EQ(installedDataFolder("/opt/vt/usr/bin"), "/opt/vt/usr/share/vellumtone");
    EXPECT_EQ(optionalFilePath("HAND-M.CUR", "/nonexistent/bin"), "/nonexistent/bin/HAND-M.CUR");
}

TEST_F(WindowInstalledFiles, BesideTheProgramFirstThenTheDataFolder) {
    QDir().mkpath(dataFolder() + "/x");
    vt::test::writeAll(dataFolder() + "/x/o.cjs", "QPushButton { color: rgb(4, 5, 6); }");
    vt::test::writeAll(dataFolder() + "/HAND-M.CUR", "not a cursor");
    EXPECT_EQ(optionalFilePath(SkinFile), dataFolder() + "/x/o.cjs");
    {
        vt::test::clearSettings();
        WindowFixture f;
        ASSERT_TRUE(f.load());
        EXPECT_EQ(f.window->PushButton8->palette().color(QPalette::ButtonText), QColor(4, 5, 6));
        // The installed pointer picture was found and read (this one is damaged).
        const QStringList reports = f.dialogs.textsOf(Kind::ErrorReport);
        ASSERT_EQ(reports.size(), 1);
        EXPECT_TRUE(reports[0].contains("Form1.Form_Load at line 106\r\r"));
    }
    QDir(ApplicationFolder()).mkpath("x");
    vt::test::writeAll(ApplicationFolder() + "/x/o.cjs", "QPushButton { color: rgb(7, 8, 9); }");
    EXPECT_EQ(optionalFilePath(SkinFile), ApplicationFolder() + "/x/o.cjs");
    vt::test::clearSettings();
    WindowFixture f;
    ASSERT_TRUE(f.load());
    EXPECT_EQ(f.window->PushButton8->palette().color(QPalette::ButtonText), QColor(7, 8, 9));
}
