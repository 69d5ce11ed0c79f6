// The "Read the article only" switch in the window: its context menus, its
// setting, and the reading that uses it.
#include "WindowTestSupport.h"
#include "core/SettingsStore.h"
#include "sources/reader/GetPageText.h"
#include "support/AudioServer.h"
#include "support/LocalHttpServer.h"
#include "support/TestEnvironment.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace vt;
using vt::test::actionIn;
using vt::test::leftoversInTemp;
using vt::test::openContextMenu;
using vt::test::WindowFixture;

namespace {

QAction* articleAction(QMenu* menu) {
    return vt::test::actionIn(menu, "Read the article only");
}

const ::testing::Environment* const audioServer =
    ::testing::AddGlobalTestEnvironment(new vt::test::AudioServerEnvironment);

const char ArticlePage[] =
    "<html><head><title>Quiet streets | Town News</title></head><body>"
    "<nav class=\"menu\"><a href=\"/a\">Home</a> <a href=\"/b\">Sport</a> <a href=\"/c\">Weather"
    "</a></nav><article><h1>Quiet streets</h1>"
    "<p>The town centre was closed to cars on Sunday, and for once the streets were full of "
    "children on bicycles, neighbours talking, and music from the square.</p>"
    "<p>The council will decide next month whether the closure becomes a monthly event, after "
    "shopkeepers said their sales had not suffered, and some had sold more than usual.</p>"
    "<p>Cafes put their tables out on the road, the fire brigade showed its oldest engine, and "
    "the brass band played twice, in the morning and again when the sun went down.</p>"
    "<p>Residents can give their views at the library until the end of the month.</p>"
    "</article><footer><a href=\"/privacy\">Privacy</a></footer></body></html>";

// Every control's place and caption, to compare two windows.
QStringList layoutOf(const QWidget& window) {
    QStringList layout{QStringLiteral("%1x%2").arg(window.width()).arg(window.height())};
    for (const QWidget* child : window.findChildren<QWidget*>()) {
        const auto* button = qobject_cast<const QPushButton*>(child);
        layout << child->objectName() +
                      QStringLiteral(" %1,%2 %3x%4 ")
                          .arg(child->x())
                          .arg(child->y())
                          .arg(child->width())
                          .arg(child->height()) +
                      (button ? button->text() : QString());
    }
    return layout;
}

} // namespace

class WindowArticle : public ::testing::Test {
  protected:
    void SetUp() override { vt::test::clearSettings(); }
    Form1& w() { return *f.window; }
    WindowFixture f;
};

TEST_F(WindowArticle, TheSwitchIsInTheContextMenusAndOffByDefault) {
    ASSERT_TRUE(f.load());
    for (QWidget* control :
         {static_cast<QWidget*>(w().Text1), static_cast<QWidget*>(w().PushButton2),
          static_cast<QWidget*>(w().PushButton8)}) {
        QMenu* menu = openContextMenu(control);
        ASSERT_NE(menu, nullptr) << control->objectName().toStdString();
        QAction* action = articleAction(menu);
        ASSERT_NE(action, nullptr) << control->objectName().toStdString();
        EXPECT_TRUE(action->isCheckable());
        EXPECT_FALSE(action->isChecked());
        if (control == w().Text1) {
            EXPECT_GT(menu->actions().size(), 3) << "the address box keeps its own entries";
        }
        menu->close();
    }
    EXPECT_EQ(SettingsStore().read(key::ArticleOnly, "unset"), "unset");
}

TEST_F(WindowArticle, ChoosingItStoresItAtOnceAndTheNextStartReadsItBack) {
    ASSERT_TRUE(f.load());
    QMenu* menu = openContextMenu(w().PushButton8);
    ASSERT_NE(menu, nullptr);
    articleAction(menu)->trigger();
    menu->close();
    EXPECT_EQ(SettingsStore().read(key::ArticleOnly, ""), "1");

    WindowFixture next;
    ASSERT_TRUE(next.load());
    menu = openContextMenu(next.window->Text1);
    ASSERT_NE(menu, nullptr);
    QAction* action = articleAction(menu);
    EXPECT_TRUE(action->isChecked());
    action->trigger();
    menu->close();
    EXPECT_EQ(SettingsStore().read(key::ArticleOnly, ""), "0");
    EXPECT_EQ(f.dialogs.entries().size(), 0);
    EXPECT_EQ(next.dialogs.entries().size(), 0);
}

TEST_F(WindowArticle, TheWindowLooksTheSameEitherWay) {
    ASSERT_TRUE(f.load());
    const QStringList off = layoutOf(w());
    SettingsStore().write(key::ArticleOnly, "1");
    WindowFixture on;
    ASSERT_TRUE(on.load());
    EXPECT_EQ(layoutOf(*on.window), off);
}

TEST_F(WindowArticle, ReadingAloudReadsTheArticleAndItsTitle) {
    VT_REQUIRE_AUDIO();
    vt::test::LocalHttpServer server;
    server.page("/story", ArticlePage);
    SettingsStore().write(key::SpeechRate, "10");
    SettingsStore().write(key::ArticleOnly, "1");
    ASSERT_TRUE(f.load());
    w().Text1->setText(server.url("/story"));
    w().PushButton2->click();
    ASSERT_TRUE(vt::test::waitUntil(
        [&] { return w().readingState() == ReadingController::State::Speaking; }));
    // The page text file holds what is read.
    const QString read =
        QString::fromUtf8(vt::test::readAll(pageTextFilePath(w().pageTextFolder())));
    EXPECT_TRUE(read.startsWith("Quiet streets\n\nThe town centre was closed"))
        << read.toStdString();
    EXPECT_TRUE(read.contains("Residents can give their views")) << read.toStdString();
    EXPECT_FALSE(read.contains("Sport"));
    EXPECT_FALSE(read.contains("Privacy"));
}
