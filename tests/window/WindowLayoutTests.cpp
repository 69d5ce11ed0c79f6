#include "WindowTestSupport.h"
#include "core/SettingsStore.h"
#include "support/TestEnvironment.h"

#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <gtest/gtest.h>

using namespace vt;
using vt::test::moveOver;
using vt::test::WindowFixture;
using Kind = vt::test::RecordingDialogs::Kind;

class WindowLayout : public ::testing::Test {
  protected:
    void SetUp() override {
        vt::test::clearSettings();
        ASSERT_TRUE(f.load());
    }
    WindowFixture f;
};

TEST_F(WindowLayout, FixedClientAreaCaptionAndNoMaximise) {
    Form1& w = *f.window;
    EXPECT_EQ(w.size(), QSize(536, 610));
    EXPECT_EQ(w.minimumSize(), w.maximumSize());
    EXPECT_FALSE(w.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(w.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(w.windowTitle(), "Vellumtone");
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), "Vellumtone");
}

TEST_F(WindowLayout, ControlsSitWhereTheTwipTableSays) {
    Form1& w = *f.window;
    EXPECT_EQ(w.Frame3->geometry(), QRect(8, 8, 520, 53));
    EXPECT_EQ(w.Text1->parentWidget(), w.Frame3);
    EXPECT_EQ(w.Text1->geometry(), QRect(16, 20, 489, 23));
    EXPECT_EQ(w.Text2->geometry(), QRect(16, 28, 488, 119));
    EXPECT_EQ(w.PushButton7->geometry(), QRect(264, 188, 240, 27));
    EXPECT_EQ(w.PushButton7->text(), "Load Sample/Example Website");
    EXPECT_EQ(w.PushButton2->parentWidget(), &w);
    EXPECT_EQ(w.PushButton2->geometry(), QRect(8, 484, 520, 27));
    EXPECT_EQ(w.Frame6->title(), "Save MP3 File(s) To This Folder");
    EXPECT_EQ(w.PushButton8->geometry(), QRect(16, 50, 488, 27));
    EXPECT_EQ(w.PushButton9->text(), "...");
    EXPECT_EQ(w.Label3->text(), "Max.");
    EXPECT_EQ(w.Label6->parentWidget(), w.Frame4);
    EXPECT_DOUBLE_EQ(w.PushButton8->font().pointSizeF(), 11.25);
    EXPECT_TRUE(w.PushButton8->font().bold());
    EXPECT_EQ(w.Text1->font().pointSize(), 9);
    EXPECT_TRUE(w.Text3->isReadOnly());
    EXPECT_FALSE(w.Text1->isReadOnly());
}

TEST_F(WindowLayout, SlidersHaveTheirRangesAndSteps) {
    Form1& w = *f.window;
    EXPECT_EQ(w.Slider1->minimum(), 0);
    EXPECT_EQ(w.Slider1->maximum(), 100);
    EXPECT_EQ(w.Slider2->minimum(), -10);
    EXPECT_EQ(w.Slider2->maximum(), 10);
    EXPECT_EQ(w.Slider1->singleStep(), 1);
    EXPECT_EQ(w.Slider2->pageStep(), 5);
}

TEST_F(WindowLayout, TabOrderFollowsTheTabIndexes) {
    Form1& w = *f.window;
    const QList<QWidget*> expected = {w.Text1,       w.Text2,       w.PushButton4, w.PushButton5,
                                      w.PushButton6, w.PushButton7, w.Slider1,     w.Slider2,
                                      w.Combo1,      w.PushButton2, w.Text3,       w.PushButton9,
                                      w.PushButton8, w.PushButton1, w.PushButton3, w.PushButton14};
    QList<QWidget*> chain;
    QWidget* next = w.Text1;
    for (qsizetype i = 0; i < expected.size(); ++i) {
        chain << next;
        do {
            next = next->nextInFocusChain();
        } while (!expected.contains(next) && next != w.Text1);
    }
    EXPECT_EQ(chain, expected);
}

TEST_F(WindowLayout, HoverRulesSetArrowHandAndKeepTheHourglass) {
    Form1& w = *f.window;
    EXPECT_EQ(w.mousePointer(), 0);
    moveOver(w.PushButton4);
    EXPECT_EQ(w.mousePointer(), 99);
    moveOver(w.Text1); // no handler: the hand stays
    EXPECT_EQ(w.mousePointer(), 99);
    moveOver(w.Frame5, QPoint(2, w.Frame5->height() - 2));
    EXPECT_EQ(w.mousePointer(), 0);
    moveOver(w.PushButton14); // no handler
    EXPECT_EQ(w.mousePointer(), 0);
    moveOver(w.Text2->viewport());
    EXPECT_EQ(w.mousePointer(), 0);
}

TEST_F(WindowLayout, HourglassStaysOverButtonsButNotOverStartReading) {
    Form1& w = *f.window;
    // The sample button shows the hourglass while its page is fetched; with no
    // server behind the address the fetch ends in a report.
    w.PushButton7_Click();
    ASSERT_EQ(w.mousePointer(), 11);
    moveOver(w.PushButton8);
    EXPECT_EQ(w.mousePointer(), 11);
    moveOver(w.Frame6, QPoint(2, w.Frame6->height() - 2));
    EXPECT_EQ(w.mousePointer(), 11);
    moveOver(w.PushButton2);
    EXPECT_EQ(w.mousePointer(), 99);
    moveOver(w.Frame6, QPoint(2, w.Frame6->height() - 2));
    EXPECT_EQ(w.mousePointer(), 0);
}

TEST_F(WindowLayout, FirstStartStoresVolumeAndFolderButNotRate) {
    Form1& w = *f.window;
    SettingsStore settings;
    EXPECT_EQ(w.Slider1->value(), 50);
    EXPECT_EQ(w.Frame1->title(), "Volume Level = 50");
    EXPECT_EQ(w.Slider2->value(), -3);
    EXPECT_EQ(w.Frame4->title(), "Speech Rate = -3");
    EXPECT_EQ(settings.read(key::VolumeLevel, "none"), "50");
    EXPECT_EQ(settings.read(key::SpeechRate, "none"), "none");
    const QString desktop = QDir::toNativeSeparators(vt::test::sandboxFolder() + "/Desktop/");
    EXPECT_EQ(w.Text3->text(), desktop);
    EXPECT_EQ(settings.read(key::Text3, "none"), desktop);
    EXPECT_EQ(f.dialogs.entries().size(), 0);
}

TEST(WindowStartup, StoredValuesAreRestoredWithValAndHalfToEven) {
    vt::test::clearSettings();
    SettingsStore settings;
    settings.write(key::VolumeLevel, "75");
    settings.write(key::SpeechRate, "2.5");
    settings.write(key::Text3, "/music/");
    WindowFixture f;
    ASSERT_TRUE(f.load());
    EXPECT_EQ(f.window->Slider1->value(), 75);
    EXPECT_EQ(f.window->Frame1->title(), "Volume Level = 75");
    EXPECT_EQ(f.window->Slider2->value(), 2);
    EXPECT_EQ(f.window->Text3->text(), "/music/");

    settings.write(key::VolumeLevel, "abc");
    settings.write(key::SpeechRate, "3.5");
    WindowFixture g;
    ASSERT_TRUE(g.load());
    EXPECT_EQ(g.window->Slider1->value(), 0);
    EXPECT_EQ(g.window->Frame1->title(), "Volume Level = 0");
    EXPECT_EQ(g.window->Slider2->value(), 4);
}

TEST(WindowStartup, AnOutOfRangeStoredVolumeIsReportedAtStep132) {
    vt::test::clearSettings();
    SettingsStore().write(key::VolumeLevel, "150");
    WindowFixture f;
    ASSERT_TRUE(f.load());
    const QStringList reports = f.dialogs.textsOf(Kind::ErrorReport);
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].contains("Form1.Form_Load at line 132\r\r"));
    EXPECT_EQ(f.window->Frame1->title(), "Volume Level = 0");
}

TEST(WindowStartup, TheHomePageOpensOnlyWhenSevenIsDrawn) {
    vt::test::clearSettings();
    WindowFixture f;
    f.drawnPercent = 7;
    ASSERT_TRUE(f.load());
    EXPECT_EQ(f.dialogs.textsOf(Kind::OpenUrl), QStringList{"https://quillmere.example/"});
    WindowFixture g;
    g.drawnPercent = 8;
    ASSERT_TRUE(g.load());
    EXPECT_EQ(g.dialogs.count(Kind::OpenUrl), 0);
}

TEST(WindowStartup, ClosingWhenIdleEndsAtOnceWithoutAQuestion) {
    vt::test::clearSettings();
    WindowFixture f;
    ASSERT_TRUE(f.load());
    bool closed = false;
    QObject::connect(f.window.get(), &Form1::closed, [&] { closed = true; });
    f.window->close();
    EXPECT_TRUE(closed);
    EXPECT_EQ(f.dialogs.entries().size(), 0);
}
