// Export progress on the desktop's task-manager entry, watched on a private
// bus: from the command line's export and from the window's runner.
#include "export/LauncherProgress.h"

#include "ExportFixture.h"
#include "commands/SaveMp3Command.h"
#include "export/ExportRunner.h"
#include "support/PrivateBus.h"

#include <QDBusMessage>
#include <QSignalSpy>
#include <QTextStream>

namespace vt {
namespace {

// The Update signals seen on the bus, in order.
class UpdateListener : public QObject {
    Q_OBJECT
  public:
    struct Update {
        QString path;
        QString uri;
        QVariantMap properties;
    };
    std::vector<Update> updates;

    bool watch(QDBusConnection bus) {
        return bus.connect(QString(), QString(), "com.canonical.Unity.LauncherEntry", "Update",
                           this, SLOT(update(QString, QVariantMap, QDBusMessage)));
    }
    bool ended() const {
        return !updates.empty() &&
               !updates.back().properties.value("progress-visible", true).toBool();
    }
  public slots:
    void update(const QString& uri, const QVariantMap& properties, const QDBusMessage& message) {
        updates.push_back({message.path(), uri, properties});
    }
};

class LauncherProgressTest : public test::ExportFixture {
  protected:
    void SetUp() override {
        ExportFixture::SetUp();
        test::clearSettings();
        ASSERT_FALSE(bus.address().isEmpty()) << "no dbus-daemon";
        ASSERT_TRUE(listener.watch(bus.connection()));
        // At the slowest rate a part holds 50 lines: three parts, so the
        // progress has steps to show.
        m_server.page("/long.txt", test::sentences(110, 1), "text/plain");
    }
    void TearDown() override {
        QDBusConnection::disconnectFromBus("vt-launcher-sender");
        test::clearSettings();
        ExportFixture::TearDown();
    }
    // A second connection to the bus, the sending program's.
    QDBusConnection sender() {
        return QDBusConnection::connectToBus(bus.address(), "vt-launcher-sender");
    }

    // The progress values shown while the work ran, checking each update on the way.
    std::vector<double> shownProgress() {
        std::vector<double> values;
        for (const auto& update : listener.updates) {
            EXPECT_EQ(update.uri, "application://example.quillmere.Vellumtone.desktop");
            EXPECT_TRUE(update.path.startsWith("/com/canonical/unity/launcherentry/"));
            if (update.properties.value("progress-visible").toBool()) {
                values.push_back(update.properties.value("progress").toDouble());
            }
        }
        return values;
    }
    void expectRisingToTheEnd() {
        ASSERT_TRUE(test::waitUntil([&] { return listener.ended(); }));
        const std::vector<double> values = shownProgress();
        ASSERT_EQ(values.size(), 7u); // the start, then three parts rendered and encoded
        EXPECT_EQ(values.front(), 0.0);
        EXPECT_DOUBLE_EQ(values.back(), 1.0);
        for (std::size_t i = 1; i < values.size(); ++i) {
            EXPECT_GT(values[i], values[i - 1]) << "update " << i;
        }
        // The last update hides it, and none follows.
        EXPECT_FALSE(listener.updates.back().properties.value("progress-visible").toBool());
    }

    test::PrivateBus bus{"vt-launcher-test"};
    UpdateListener listener;
};

TEST_F(LauncherProgressTest, TheCommandLineExportShowsItsProgress) {
    QString outText;
    QString errText;
    QTextStream out(&outText);
    QTextStream err(&errText);
    const LauncherProgress launcher(sender());
    ASSERT_TRUE(launcher.isConnected());
    EXPECT_EQ(saveMp3Command(m_speech.engine,
                             {"--save-mp3", m_server.url("/long.txt"), "--folder", outFolder(),
                              "--rate", "-10"},
                             out, err, launcher),
              0)
        << errText.toStdString();
    EXPECT_EQ(errText, "Done.\n"); // no terminal: no progress line, as before
    expectRisingToTheEnd();
}

TEST_F(LauncherProgressTest, TheWindowsRunnerShowsItsProgressAndNothingWithoutABus) {
    {
        ExportRunner runner;
        runner.setLauncher(LauncherProgress(sender()));
        QSignalSpy finished(&runner, &ExportRunner::finished);
        runner.start({m_server.url("/long.txt"), outFolder(), {-1, 100, -10}}, m_speech.voices,
                     m_dialogs);
        ASSERT_TRUE(test::waitUntil([&] { return finished.count() > 0; }, 120000));
        EXPECT_TRUE(finished.at(0).at(0).value<ExportResult>().mp3Made);
        expectRisingToTheEnd();
    }
    listener.updates.clear();
    m_dialogs.clear();
    {
        // No bus: the export is made all the same, and nothing reaches any bus.
        const LauncherProgress nowhere(
            QDBusConnection::connectToBus("unix:path=/nonexistent/vellumtone-bus", "vt-no-bus"));
        EXPECT_FALSE(nowhere.isConnected());
        ExportRunner runner;
        runner.setLauncher(nowhere);
        QSignalSpy finished(&runner, &ExportRunner::finished);
        m_server.page("/short.txt", "A short page.\n", "text/plain");
        runner.start({m_server.url("/short.txt"), outFolder(), {-1, 100, -10}}, m_speech.voices,
                     m_dialogs);
        ASSERT_TRUE(test::waitUntil([&] { return finished.count() > 0; }, 120000));
        EXPECT_TRUE(finished.at(0).at(0).value<ExportResult>().mp3Made);
    }
    QDBusConnection::disconnectFromBus("vt-no-bus");
    EXPECT_TRUE(listener.updates.empty());
}

} // namespace
} // namespace vt

#include "LauncherProgressTest.moc"
