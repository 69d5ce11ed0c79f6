// A reading stopped or replaced while one of its messages is open: the message's
// frame must not end, report into or speak for the reading that follows, and
// the desktop bus refuses its commands until the message is answered. No sound
// is needed: every page here gives no text or no page at all.
#include "WindowTestSupport.h"
#include "support/LocalHttpServer.h"
#include "support/PrivateBus.h"
#include "support/TestEnvironment.h"
#include "window/bus/MprisService.h"

#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace vt;
using Kind = vt::test::RecordingDialogs::Kind;
using State = ReadingController::State;

namespace {

struct ReadingMessage : ::testing::Test {
    void SetUp() override {
        vt::test::clearSettings();
        ASSERT_TRUE(f.load());
        f.dialogs.clear();
        server.page("/empty", "<html><body><p> </p></body></html>");
    }
    bool ends() {
        return vt::test::waitUntil(
            [&] { return f.window->readingState() == State::Idle && !f.window->busy(); });
    }

    vt::test::LocalHttpServer server;
    vt::test::WindowFixture f;
};

} // namespace

TEST_F(ReadingMessage, AStaleFrameLeavesTheNextReadingAlone) {
    // While "No text to read" is open, the reading is stopped and a new one
    // starts, of a page that is not there.
    bool replaced = false;
    QList<State> stateAtReport;
    QStringList captionAtReport;
    f.dialogs.setObserver([&](Kind kind, const QString&) {
        if (kind == Kind::Notice && !replaced) {
            replaced = true;
            f.window->stopReading();
            f.window->Text1->setText(server.url("/missing"));
            f.window->PushButton2->click();
        } else if (kind == Kind::ErrorReport) {
            stateAtReport << f.window->readingState();
            captionAtReport << f.window->PushButton2->text();
        }
    });
    f.window->Text1->setText(server.url("/empty"));
    f.window->PushButton2->click();
    ASSERT_TRUE(vt::test::waitUntil([&] { return replaced; }));
    ASSERT_TRUE(ends());

    // The second reading was still under way when its own report came.
    EXPECT_EQ(server.hits("/missing"), 1);
    ASSERT_EQ(stateAtReport.size(), 1);
    EXPECT_EQ(stateAtReport[0], State::Fetching);
    EXPECT_EQ(captionAtReport[0], "Pause");
    const QStringList reports = f.dialogs.textsOf(Kind::ErrorReport);
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].contains("Speak.SpeakLoud at line 114\r\r")) << reports[0].toStdString();
    EXPECT_EQ(f.dialogs.count(Kind::Notice), 2); // each reading its own "No text to read"
    EXPECT_EQ(f.window->PushButton2->text(), "Start Reading");

    // And the button starts a third reading as usual.
    f.dialogs.setObserver(nullptr);
    f.window->Text1->setText(server.url("/empty"));
    f.window->PushButton2->click();
    ASSERT_TRUE(ends());
    EXPECT_EQ(server.hits("/empty"), 2);
    EXPECT_EQ(f.dialogs.count(Kind::Notice), 3);
}

TEST_F(ReadingMessage, TheBusIsRefusedWhileTheMessageIsOpen) {
    vt::test::PrivateBus bus;
    ASSERT_FALSE(bus.address().isEmpty()) << "no dbus-daemon";
    MprisService service(*f.window, bus.connection());
    ASSERT_TRUE(service.isRegistered());
    // dbus-send with both its outputs; the window answers on this thread.
    const auto send = [&](const QStringList& arguments) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DBUS_SESSION_BUS_ADDRESS", bus.address());
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start("dbus-send", QStringList{"--session", "--print-reply",
                                               "--dest=" + service.busName(), MprisObjectPath} +
                                       arguments);
        EXPECT_TRUE(process.waitForStarted());
        vt::test::waitUntil([&] { return process.state() == QProcess::NotRunning; }, 20000);
        return QString::fromUtf8(process.readAll());
    };
    const auto command = [&](const QString& name) {
        return send({"org.mpris.MediaPlayer2.Player." + name});
    };
    const auto status = [&] {
        return send({"org.freedesktop.DBus.Properties.Get", "string:org.mpris.MediaPlayer2.Player",
                     "string:PlaybackStatus"});
    };

    QStringList answersDuring;
    QString statusDuring;
    f.dialogs.setObserver([&](Kind kind, const QString&) {
        if (kind == Kind::Notice && answersDuring.isEmpty()) {
            // The box's own event loop would deliver these; the test's wait does.
            answersDuring << command("Stop") << command("Play") << command("PlayPause")
                          << send({"org.mpris.MediaPlayer2.Quit"});
            statusDuring = status();
        }
    });
    f.window->Text1->setText(server.url("/empty"));
    EXPECT_FALSE(command("Play").contains("Error"));
    ASSERT_TRUE(vt::test::waitUntil([&] { return !answersDuring.isEmpty(); }, 20000));
    ASSERT_TRUE(ends());

    ASSERT_EQ(answersDuring.size(), 4);
    for (const QString& answer : answersDuring) {
        EXPECT_TRUE(answer.contains(QString("Error ") + MessageOpenError)) << answer.toStdString();
    }
    EXPECT_TRUE(statusDuring.contains("\"Playing\"")) << statusDuring.toStdString();
    EXPECT_TRUE(status().contains("\"Stopped\""));
    EXPECT_EQ(server.hits("/empty"), 1); // the refused Play started nothing
    EXPECT_EQ(f.dialogs.count(Kind::Notice), 1);
    EXPECT_TRUE(f.window->isVisible()); // nor did Quit close the window

    // With the message answered, the bus drives the reading again.
    f.dialogs.setObserver(nullptr);
    EXPECT_FALSE(command("Play").contains("Error"));
    ASSERT_TRUE(vt::test::waitUntil([&] { return server.hits("/empty") == 2; }));
    ASSERT_TRUE(ends());
    EXPECT_EQ(f.dialogs.count(Kind::Notice), 2);
}
