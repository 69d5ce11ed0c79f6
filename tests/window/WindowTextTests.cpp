#include "WindowTestSupport.h"
#include "core/SettingsStore.h"
#include "support/LogCapture.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace vt;
using vt::test::WindowFixture;
using Kind = vt::test::RecordingDialogs::Kind;

class WindowText : public ::testing::Test {
  protected:
    void SetUp() override {
        vt::test::clearSettings();
        ASSERT_TRUE(f.load());
        f.dialogs.clear();
    }
    Form1& w() { return *f.window; }
    WindowFixture f;
    QTemporaryDir dir;
};

TEST_F(WindowText, LeavingTheAddressBoxCompletesItOnce) {
    w().Text1->setText("example.com/page?x=1");
    w().Text1_LostFocus();
    EXPECT_EQ(w().Text1->text(), "http://example.com/page?x=1");
    w().Text1_LostFocus();
    EXPECT_EQ(w().Text1->text(), "http://example.com/page?x=1");
    w().Text1->setText("HTTPS://Example.com/");
    w().Text1_LostFocus();
    EXPECT_EQ(w().Text1->text(), "HTTPS://Example.com/");
    EXPECT_EQ(f.dialogs.entries().size(), 0);
}

TEST_F(WindowText, AnInvalidAddressIsRefusedWhenTheFocusLeavesAndTheFocusComesBack) {
    const vt::test::LogCapture log;
    w().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w()));
    w().Text1->setFocus(Qt::MouseFocusReason);
    w().Text1->setText("exa mple");
    QTest::keyClick(w().Text1, Qt::Key_Tab); // on to the next control
    EXPECT_EQ(w().Text1->text(), "http://exa mple");
    ASSERT_TRUE(vt::test::waitUntil([&] { return f.dialogs.count(Kind::Notice) == 1; }));
    EXPECT_EQ(f.dialogs.textsOf(Kind::Notice), QStringList{"Invalid Website URL"});
    EXPECT_EQ(w().focusWidget(), w().Text1);
    EXPECT_EQ(log.count("vellumtone.window", "Invalid Website URL"), 1)
        << log.warnings().join('\n').toStdString();
}

TEST_F(WindowText, SaveThenLoadRoundTripsAndFiresTheCaptionReset) {
    const QString path = dir.filePath("saved.txt");
    const QString text = QString::fromUtf8("Caf\u00e9 \u2014 \u65e5\u672c\nsecond line\n");
    w().Text2->setPlainText(text);
    f.dialogs.queuePath(path);
    w().PushButton5_Click();
    ASSERT_TRUE(vt::test::waitUntil([&] { return w().mousePointer() == 0; }));
    const auto saves = f.dialogs.entriesOf(Kind::SaveFile);
    ASSERT_EQ(saves.size(), 1);
    EXPECT_EQ(saves[0].text, "Save");
    EXPECT_EQ(saves[0].extra, "Text Files (*.txt);;All Files (*)");

    w().PushButton6_Click();
    EXPECT_TRUE(w().Text2->toPlainText().isEmpty());
    w().PushButton2->setText("Pause");
    f.dialogs.queuePath(path);
    w().PushButton4_Click();
    ASSERT_TRUE(vt::test::waitUntil([&] { return !w().Text2->toPlainText().isEmpty(); }));
    EXPECT_EQ(w().Text2->toPlainText(), text);
    EXPECT_EQ(w().PushButton2->text(), "Start Reading");
    const auto opens = f.dialogs.entriesOf(Kind::OpenFile);
    ASSERT_EQ(opens.size(), 1);
    EXPECT_EQ(opens[0].text, "") << "the open dialog shows none of the save dialog's settings";
    EXPECT_EQ(f.dialogs.count(Kind::ErrorReport), 0);
}

TEST_F(WindowText, LoadingALongFileJoinsItsChunksWithoutSeparators) {
    const QString path = dir.filePath("long.txt");
    QByteArray bytes;
    for (int i = 0; bytes.size() < 200000; ++i) {
        bytes += "line " + QByteArray::number(i) + "\n";
    }
    vt::test::writeAll(path, bytes);
    f.dialogs.queuePath(path);
    w().PushButton4_Click();
    ASSERT_TRUE(vt::test::waitUntil([&] { return w().mousePointer() == 0; }));
    EXPECT_EQ(w().Text2->toPlainText().toLatin1(), bytes);
}

TEST_F(WindowText, CancelledDialogsChangeNothing) {
    w().Text2->setPlainText("keep me");
    w().PushButton4_Click();
    w().PushButton5_Click();
    EXPECT_EQ(w().Text2->toPlainText(), "keep me");
    EXPECT_EQ(w().mousePointer(), 0);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 0);
}

TEST_F(WindowText, LoadingAMissingFileReportsItsStepsAndLeavesTheBoxEmpty) {
    w().Text2->setPlainText("old");
    f.dialogs.queuePath(dir.filePath("missing.txt"));
    w().PushButton4_Click();
    ASSERT_TRUE(vt::test::waitUntil([&] { return w().mousePointer() == 0; }));
    EXPECT_EQ(w().Text2->toPlainText(), "");
    EXPECT_EQ(f.dialogs.count(Kind::ErrorReport), 4);
}

TEST_F(WindowText, SavingIntoAMissingFolderIsReportedAndThePointerComesBack) {
    w().Text2->setPlainText("text");
    f.dialogs.queuePath(dir.filePath("no/such/folder/out.txt"));
    w().PushButton5_Click();
    ASSERT_TRUE(vt::test::waitUntil([&] { return w().mousePointer() == 0; }));
    const QStringList reports = f.dialogs.textsOf(Kind::ErrorReport);
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].contains("Form1.PushButton5_Click at line 122\r\r"));
}

TEST_F(WindowText, ClearEmptiesTextAndAddress) {
    w().Text1->setText("http://example.com/");
    w().Text2->setPlainText("abc");
    w().PushButton6_Click();
    EXPECT_EQ(w().Text1->text(), "");
    EXPECT_EQ(w().Text2->toPlainText(), "");
    EXPECT_EQ(f.dialogs.entries().size(), 0) << "no completion or check runs";
}

TEST_F(WindowText, ChosenFolderGetsOneTrailingSeparatorAndPersists) {
    SettingsStore settings;
    f.dialogs.queuePath(dir.path());
    w().PushButton9_Click();
    EXPECT_EQ(w().Text3->text(), QDir::toNativeSeparators(dir.path()) + QDir::separator());
    EXPECT_EQ(settings.read(key::LastFolderDot, "none"), QDir::toNativeSeparators(dir.path()));
    EXPECT_EQ(settings.read(key::Text3, "none"), w().Text3->text());

    f.dialogs.queuePath("/");
    w().PushButton9_Click();
    EXPECT_EQ(w().Text3->text(), "/");

    w().PushButton9_Click(); // cancelled: nothing changes
    EXPECT_EQ(w().Text3->text(), "/");
    const auto browses = f.dialogs.entriesOf(Kind::BrowseFolder);
    ASSERT_EQ(browses.size(), 3);
    EXPECT_EQ(browses[0].text, "Please select folder:");
    EXPECT_EQ(browses[0].extra, "");
    EXPECT_EQ(browses[1].extra, QDir::toNativeSeparators(dir.path()));
    EXPECT_EQ(browses[2].extra, "/");

    WindowFixture next; // the next start shows the same folder
    ASSERT_TRUE(next.load());
    EXPECT_EQ(next.window->Text3->text(), "/");
}
