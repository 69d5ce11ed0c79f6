// The end of an export seen from outside the window: the desktop notification
// on a private bus (with a notification service of the test's own), and
// "Cancel Export" in the menu of "Save Audio As MP3".
#include "WindowTestSupport.h"
#include "core/files/FileUtils.h"
#include "core/SettingsStore.h"
#include "support/LocalHttpServer.h"
#include "support/PrivateBus.h"
#include "support/TestEnvironment.h"
#include "window/bus/ExportNotifier.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDBusMessage>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

using namespace vt;
using vt::test::WindowFixture;
using Kind = vt::test::RecordingDialogs::Kind;

namespace {

const QString NotificationsPath = QStringLiteral("/org/freedesktop/Notifications");
const QString NotificationsName = QStringLiteral("org.freedesktop.Notifications");

// The desktop's notification service as the test plays it: records each
// Notify and answers with an id of its own.
class NotificationService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
  public:
    struct Shown {
        QString appName;
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
        uint id;
    };
    QList<Shown> shown;

  public slots:
    uint Notify(const QString& appName, uint, const QString&, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints, int) {
        const uint id = 700 + static_cast<uint>(shown.size());
        shown << Shown{appName, summary, body, actions, hints, id};
        return id;
    }
    QStringList GetCapabilities() { return {QStringLiteral("actions"), QStringLiteral("body")}; }
};

// The menu a right click on the widget pops up, and the texts in it.
QMenu* openContextMenu(QWidget* widget) {
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(4, 4),
                            widget->mapToGlobal(QPoint(4, 4)));
    QCoreApplication::sendEvent(widget, &event);
    vt::test::waitUntil([] { return QApplication::activePopupWidget() != nullptr; }, 2000);
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

QAction* actionIn(QMenu* menu, const QString& text) {
    for (QAction* action : menu->actions()) {
        if (action->text() == text) {
            return action;
        }
    }
    return nullptr;
}

QStringList leftoversInTemp() {
    return QDir(qEnvironmentVariable("TEMP")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
}

} // namespace

class WindowExportEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        vt::test::clearSettings();
        SettingsStore().write(key::SpeechRate, "10");
        SettingsStore().write(key::Text3, QDir::toNativeSeparators(out.path()) + QDir::separator());
        ASSERT_TRUE(f.load());
        f.dialogs.clear();
        server.page("/short", "<p>A short page.</p>");
        QString body = "<p>";
        for (int i = 0; i < 300; ++i) {
            body += QStringLiteral("Sentence %1 of a page long enough to take a while. ").arg(i);
        }
        server.page("/page", (body + "</p>").toUtf8());
        tempBefore = leftoversInTemp();
    }
    Form1& w() { return *f.window; }
    QString shortMp3() const {
        return out.filePath("http127.0.0.1" + QString::number(server.port()) + "short.mp3");
    }
    // Starts the service on its own connection to the bus.
    void startService(const vt::test::PrivateBus& bus) {
        QDBusConnection connection = bus.otherConnection();
        ASSERT_TRUE(connection.registerObject(NotificationsPath, &service,
                                              QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(connection.registerService(NotificationsName));
    }

    vt::test::LocalHttpServer server;
    QTemporaryDir out;
    WindowFixture f;
    NotificationService service;
    QStringList tempBefore;
};

TEST_F(WindowExportEnd, DoneIsAlsoANotificationThatOpensTheFolder) {
    vt::test::PrivateBus bus("vt-notify-test");
    ASSERT_FALSE(bus.address().isEmpty()) << "no dbus-daemon";
    startService(bus);
    const ExportNotifier notifier(w(), f.dialogs, bus.connection());
    ASSERT_TRUE(notifier.isActive());
    w().Text1->setText(server.url("/short"));
    w().PushButton8->click();
    ASSERT_TRUE(vt::test::waitUntil([&] { return !service.shown.isEmpty(); }, 120000));
    EXPECT_EQ(f.dialogs.textsOf(Kind::Notice), QStringList{"Done."}); // the box stays
    ASSERT_TRUE(FileExists(shortMp3()));
    const NotificationService::Shown& shown = service.shown.first();
    EXPECT_EQ(shown.appName, "Vellumtone");
    EXPECT_EQ(shown.summary, "MP3 file saved");
    EXPECT_EQ(shown.body, QDir::toNativeSeparators(shortMp3()));
    EXPECT_EQ(shown.actions, QStringList({"open-folder", "Open Folder"}));
    EXPECT_EQ(shown.hints.value("desktop-entry").toString(), "example.quillmere.Vellumtone");

    // Another notice's action, and another action, open nothing.
    auto invoke = [&](uint id, const QString& key) {
        QDBusMessage signal = QDBusMessage::createSignal(NotificationsPath, NotificationsName,
                                                         QStringLiteral("ActionInvoked"));
        signal << id << key;
        ASSERT_TRUE(bus.otherConnection().send(signal));
    };
    invoke(shown.id + 50, "open-folder");
    invoke(shown.id, "default");
    QTest::qWait(300);
    EXPECT_EQ(f.dialogs.count(Kind::OpenUrl), 0);
    invoke(shown.id, "open-folder");
    ASSERT_TRUE(vt::test::waitUntil([&] { return f.dialogs.count(Kind::OpenUrl) > 0; }, 5000));
    EXPECT_EQ(f.dialogs.textsOf(Kind::OpenUrl),
              QStringList{QUrl::fromLocalFile(out.path()).toString()});
}

TEST_F(WindowExportEnd, NoNotificationForAFailedExportNorWithoutABus) {
    vt::test::PrivateBus bus("vt-notify-test");
    ASSERT_FALSE(bus.address().isEmpty()) << "no dbus-daemon";
    startService(bus);
    const ExportNotifier notifier(w(), f.dialogs, bus.connection());
    w().Text1->setText(server.url("/missing"));
    w().PushButton8->click();
    ASSERT_TRUE(vt::test::waitUntil([&] { return !w().busy(); }, 60000));
    QTest::qWait(300);
    EXPECT_EQ(service.shown.size(), 0);

    // Without a bus the export ends as it always did, with "Done." alone.
    const ExportNotifier offBus(w(), f.dialogs, QDBusConnection(QStringLiteral("no-bus-here")));
    EXPECT_FALSE(offBus.isActive());
    f.dialogs.clear();
    w().Text1->setText(server.url("/short"));
    w().PushButton8->click();
    ASSERT_TRUE(vt::test::waitUntil([&] { return !w().busy(); }, 120000));
    EXPECT_EQ(f.dialogs.textsOf(Kind::Notice), QStringList{"Done."});
    EXPECT_TRUE(FileExists(shortMp3()));
}

TEST_F(WindowExportEnd, CancelExportStopsTheJobAndLeavesNothingBehind) {
    // Offered only while an export runs.
    QMenu* before = openContextMenu(w().PushButton8);
    ASSERT_NE(before, nullptr);
    EXPECT_EQ(actionIn(before, "Cancel Export"), nullptr);
    EXPECT_NE(actionIn(before, "Read the article only"), nullptr);
    before->close();

    w().Text1->setText(server.url("/page"));
    w().PushButton8->click();
    ASSERT_TRUE(vt::test::waitUntil([&] { return w().mousePointer() == 11; }));
    QTest::qWait(500); // into the rendering
    ASSERT_TRUE(w().busy());
    QMenu* during = openContextMenu(w().PushButton8);
    ASSERT_NE(during, nullptr);
    QAction* cancel = actionIn(during, "Cancel Export");
    ASSERT_NE(cancel, nullptr);
    EXPECT_NE(actionIn(during, "Read the article only"), nullptr);
    during->close();
    cancel->trigger();
    ASSERT_TRUE(vt::test::waitUntil([&] { return !w().busy(); }, 20000));
    EXPECT_EQ(w().mousePointer(), 0);
    QTest::qWait(300);
    EXPECT_EQ(QDir(out.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    EXPECT_EQ(leftoversInTemp(), tempBefore);
    EXPECT_EQ(f.dialogs.entries().size(), 0) << "no \"Done.\" and no report";

    // The window goes on as before: the next export is made.
    w().Text1->setText(server.url("/short"));
    w().PushButton8->click();
    ASSERT_TRUE(vt::test::waitUntil([&] { return !w().busy(); }, 120000));
    EXPECT_EQ(f.dialogs.textsOf(Kind::Notice), QStringList{"Done."});
    EXPECT_TRUE(FileExists(shortMp3()));
}

#include "WindowExportEndTests.moc"
