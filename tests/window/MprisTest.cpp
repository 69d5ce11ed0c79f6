// The reading on a private desktop bus: a real reading of a local page, driven
// and watched from outside the program (dbus-send, playerctl).
#include "WindowTestSupport.h"
#include "core/SettingsStore.h"
#include "support/AudioServer.h"
#include "support/LocalHttpServer.h"
#include "support/PrivateBus.h"
#include "support/TestEnvironment.h"
#include "window/bus/MprisService.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace vt;
using State = ReadingController::State;

namespace {

const ::testing::Environment* const audioServer =
    ::testing::AddGlobalTestEnvironment(new vt::test::AudioServerEnvironment);

using vt::test::PrivateBus;

// Records the PlaybackStatus values the player announces.
class StatusListener : public QObject {
    Q_OBJECT
  public:
    QStringList statuses;
  public slots:
    void propertiesChanged(const QString& interface, const QVariantMap& changed,
                           const QStringList&) {
        if (interface == "org.mpris.MediaPlayer2.Player" && changed.contains("PlaybackStatus")) {
            statuses << changed.value("PlaybackStatus").toString();
        }
    }
};

} // namespace

class Mpris : public ::testing::Test {
  protected:
    void SetUp() override {
        vt::test::clearSettings();
        SettingsStore().write(key::SpeechRate, "10");
        ASSERT_FALSE(bus.address().isEmpty()) << "no dbus-daemon";
        ASSERT_TRUE(f.load());
        f.dialogs.clear();
        QByteArray body = "<html><head><title>Twenty Sentences</title></head><body>";
        for (int i = 0; i < 20; ++i) {
            body += "<p>This is sentence number " + QByteArray::number(i) + " of the page.</p>";
        }
        server.page("/long", body + "</body></html>");
        service = std::make_unique<MprisService>(*f.window, bus.connection());
    }
    void TearDown() override { service.reset(); }

    // Runs a bus tool against the private bus and returns what it printed.
    QString tool(const QString& program, const QStringList& arguments) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DBUS_SESSION_BUS_ADDRESS", bus.address());
        process.setProcessEnvironment(env);
        process.start(program, arguments);
        EXPECT_TRUE(process.waitForStarted()) << program.toStdString();
        // The player answers on this thread: keep its event loop running.
        vt::test::waitUntil([&] { return process.state() == QProcess::NotRunning; }, 20000);
        return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    }
    QString call(const QString& method) {
        return tool("dbus-send", {"--session", "--print-reply", "--dest=" + QString(MprisBusName),
                                  MprisObjectPath, "org.mpris.MediaPlayer2.Player." + method});
    }
    QString rootProperty(const QString& name) {
        return tool("dbus-send", {"--session", "--print-reply", "--dest=" + QString(MprisBusName),
                                  MprisObjectPath, "org.freedesktop.DBus.Properties.Get",
                                  "string:org.mpris.MediaPlayer2", "string:" + name});
    }
    QString status() { return tool("playerctl", {"--player=vellumtone", "status"}); }
    bool reaches(State state) {
        return vt::test::waitUntil([&] { return f.window->readingState() == state; }, 20000);
    }
    QString caption() { return f.window->PushButton2->text(); }

    vt::test::PrivateBus bus{"vt-mpris-test"};
    vt::test::LocalHttpServer server;
    vt::test::WindowFixture f;
    std::unique_ptr<MprisService> service;
};

TEST_F(Mpris, APlayerOnTheBusDrivesAndShowsTheReading) {
    VT_REQUIRE_AUDIO();
    ASSERT_TRUE(service->isRegistered());
    EXPECT_EQ(service->busName(), "org.mpris.MediaPlayer2.vellumtone");
    EXPECT_TRUE(rootProperty("Identity").endsWith("variant       string \"Vellumtone\""));
    EXPECT_TRUE(rootProperty("DesktopEntry").contains("\"example.quillmere.Vellumtone\""));
    StatusListener listener;
    ASSERT_TRUE(bus.connection().connect(
        service->busName(), MprisObjectPath, "org.freedesktop.DBus.Properties", "PropertiesChanged",
        &listener, SLOT(propertiesChanged(QString, QVariantMap, QStringList))));
    EXPECT_EQ(status(), "Stopped");
    EXPECT_EQ(tool("playerctl", {"--player=vellumtone", "metadata", "--format", "{{xesam:url}}"}),
              "");

    f.window->Text1->setText(server.url("/long"));
    call("Play");
    ASSERT_TRUE(reaches(State::Speaking));
    EXPECT_EQ(status(), "Playing");
    EXPECT_EQ(caption(), "Pause");
    EXPECT_TRUE(f.window->busy());
    EXPECT_EQ(tool("playerctl", {"--player=vellumtone", "metadata", "--format",
                                 "{{xesam:title}}|{{xesam:url}}"}),
              "Twenty Sentences|" + server.url("/long"));
    call("Play"); // already playing: no click, no pause
    EXPECT_EQ(status(), "Playing");

    call("Pause");
    ASSERT_TRUE(reaches(State::Paused));
    EXPECT_EQ(status(), "Paused");
    EXPECT_EQ(caption(), "Resume");
    call("Pause"); // already paused: it stays so
    EXPECT_EQ(status(), "Paused");

    call("PlayPause");
    ASSERT_TRUE(reaches(State::Speaking));
    EXPECT_EQ(status(), "Playing");
    EXPECT_EQ(caption(), "Pause");

    call("Stop");
    ASSERT_TRUE(reaches(State::Idle));
    EXPECT_EQ(status(), "Stopped");
    EXPECT_EQ(caption(), "Start Reading");
    EXPECT_FALSE(f.window->busy());
    EXPECT_EQ(server.hits("/long"), 1);
    EXPECT_EQ(f.dialogs.count(vt::test::RecordingDialogs::Kind::ErrorReport), 0);
    ASSERT_TRUE(vt::test::waitUntil([&] { return listener.statuses.size() >= 4; }));
    EXPECT_EQ(listener.statuses, (QStringList{"Playing", "Paused", "Playing", "Stopped"}));

    // The button works again afterwards, and the bus sees that reading too.
    f.window->PushButton2->click();
    ASSERT_TRUE(reaches(State::Speaking));
    EXPECT_EQ(status(), "Playing");
    f.window->stopReading();
}

TEST(MprisWithoutBus, TheWindowRunsSilently) {
    QStringList messages;
    static QStringList* sink = nullptr;
    sink = &messages;
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext& context, const QString& text) {
            // The reading's own error report and notice are logged as every
            // failure shown is; the bus must add nothing.
            if (QLatin1String(context.category) != QLatin1String("vellumtone.core")) {
                sink->append(text);
            }
        });
    QStringList shown;
    {
        vt::test::WindowFixture f;
        ASSERT_TRUE(f.load());
        const MprisService service(
            *f.window,
            QDBusConnection::connectToBus("unix:path=/nonexistent/vellumtone-bus", "vt-no-bus"));
        EXPECT_FALSE(service.isRegistered());
        f.window->Text1->setText("not an address");
        f.window->PushButton2->click();
        ASSERT_TRUE(vt::test::waitUntil([&] { return f.window->readingState() == State::Idle; }));
        shown = f.dialogs.textsOf(vt::test::RecordingDialogs::Kind::Notice);
    }
    qInstallMessageHandler(previous);
    for (const QString& notice : shown) {
        messages.removeAll(notice);
    }
    QDBusConnection::disconnectFromBus("vt-no-bus");
    EXPECT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
}

#include "MprisTest.moc"
