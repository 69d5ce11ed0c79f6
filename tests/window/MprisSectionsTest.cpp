// Next and Previous on the desktop bus: a real reading of a local page moved
// by section, checked by where the speech being heard stands in the text.
#include "WindowTestSupport.h"
#include "core/SettingsStore.h"
#include "support/AudioServer.h"
#include "support/LocalHttpServer.h"
#include "support/PrivateBus.h"
#include "support/TestEnvironment.h"
#include "window/bus/MprisService.h"
#include "window/handlers/ReadingSections.h"

#include <QDBusMessage>
#include <QDBusReply>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace vt;
using State = ReadingController::State;

namespace {

const ::testing::Environment* const audioServer =
    ::testing::AddGlobalTestEnvironment(new vt::test::AudioServerEnvironment);

const QStringList Headings = {"Alpha river", "Bravo mountain", "Charlie forest", "Delta harbour"};

// Four sections, each long enough (about eight seconds at the fastest rate)
// that the reading cannot reach the next one on its own while a test looks.
QByteArray sectionsPage() {
    QByteArray body = "<html><head><title>Four Sections</title></head><body>";
    for (const QString& heading : Headings) {
        body += "<h2>" + heading.toUtf8() + "</h2><p>";
        for (int i = 0; i < 5; ++i) {
            body += "The walkers counted the stones beside the old path and wrote each number "
                    "down before the evening came. ";
        }
        body += "</p>";
    }
    return body + "</body></html>";
}

// The CanGoNext values and section titles the player announces.
class ChangeListener : public QObject {
    Q_OBJECT
  public:
    QList<bool> canGoNext;
    QStringList sections;
  public slots:
    void propertiesChanged(const QString&, const QVariantMap& changed, const QStringList&) {
        if (changed.contains("CanGoNext")) {
            canGoNext << changed.value("CanGoNext").toBool();
        }
        if (changed.contains("Metadata")) {
            const QVariantMap data = qdbus_cast<QVariantMap>(changed.value("Metadata"));
            sections << data.value("vellumtone:section").toString();
        }
    }
};

} // namespace

class MprisSections : public ::testing::Test {
  protected:
    void SetUp() override {
        vt::test::clearSettings();
        SettingsStore().write(key::SpeechRate, "10");
        ASSERT_FALSE(bus.address().isEmpty()) << "no dbus-daemon";
        ASSERT_TRUE(f.load());
        f.dialogs.clear();
        server.page("/sections", sectionsPage());
        QByteArray plain = "<html><head><title>Plain</title></head><body>";
        for (int i = 0; i < 6; ++i) {
            plain += "<p>Paragraph " + QByteArray::number(i) +
                     " tells of the long road, the wide river and the slow boats that carry "
                     "grain to the town every week of the year.</p>";
        }
        server.page("/plain", plain + "</body></html>");
        service = std::make_unique<MprisService>(*f.window, bus.connection());
        ASSERT_TRUE(service->isRegistered());
        connection = bus.connection();
    }
    void TearDown() override {
        f.window->stopReading();
        service.reset();
        QDBusConnection::disconnectFromBus("vt-sections-caller");
    }

    // A call from another connection, as a media key's would come; the
    // player answers on this thread, so the answer is awaited asynchronously.
    void call(const QString& method) {
        QDBusMessage message = QDBusMessage::createMethodCall(
            MprisBusName, MprisObjectPath, "org.mpris.MediaPlayer2.Player", method);
        QDBusPendingCall pending = caller().asyncCall(message);
        ASSERT_TRUE(vt::test::waitUntil([&] { return pending.isFinished(); }));
        ASSERT_FALSE(pending.isError()) << pending.error().message().toStdString();
    }
    QVariant property(const QString& name) {
        QDBusMessage message = QDBusMessage::createMethodCall(
            MprisBusName, MprisObjectPath, "org.freedesktop.DBus.Properties", "Get");
        message << QString("org.mpris.MediaPlayer2.Player") << name;
        QDBusPendingCall pending = caller().asyncCall(message);
        EXPECT_TRUE(vt::test::waitUntil([&] { return pending.isFinished(); }));
        const QDBusMessage reply = pending.reply();
        if (reply.arguments().isEmpty()) {
            return {};
        }
        return reply.arguments().first().value<QDBusVariant>().variant();
    }
    QString section() {
        return qdbus_cast<QVariantMap>(property("Metadata")).value("vellumtone:section").toString();
    }
    QDBusConnection caller() {
        return QDBusConnection::connectToBus(bus.address(), "vt-sections-caller");
    }

    const ReadingController& reading() { return f.window->reading(); }
    // The speech being heard begins the text that starts with words.
    bool hearing(const QString& words) {
        const std::optional<qsizetype> at = reading().heardOffset();
        return at && reading().spokenText().mid(*at).startsWith(words);
    }
    // The speech is heard from the start of words within the time given,
    // far less than a section takes to be read.
    bool lands(const QString& words, int withinMs = 3000) {
        return vt::test::waitUntil([&] { return hearing(words); }, withinMs);
    }
    bool reaches(State state) {
        return vt::test::waitUntil([&] { return f.window->readingState() == state; }, 20000);
    }
    QString caption() { return f.window->PushButton2->text(); }

    vt::test::PrivateBus bus{"vt-sections-test"};
    QDBusConnection connection{QString()};
    vt::test::LocalHttpServer server;
    vt::test::WindowFixture f;
    std::unique_ptr<MprisService> service;
};

TEST_F(MprisSections, NextAndPreviousMoveTheReadingByHeading) {
    VT_REQUIRE_AUDIO();
    ChangeListener listener;
    ASSERT_TRUE(connection.connect(
        service->busName(), MprisObjectPath, "org.freedesktop.DBus.Properties", "PropertiesChanged",
        &listener, SLOT(propertiesChanged(QString, QVariantMap, QStringList))));
    EXPECT_FALSE(property("CanGoNext").toBool()); // nothing is read yet
    EXPECT_FALSE(property("CanGoPrevious").toBool());

    f.window->Text1->setText(server.url("/sections"));
    call("Play");
    ASSERT_TRUE(reaches(State::Speaking));
    ASSERT_TRUE(lands("Alpha river", 10000));
    EXPECT_EQ(section(), "Alpha river");
    EXPECT_TRUE(property("CanGoNext").toBool());
    EXPECT_TRUE(property("CanGoPrevious").toBool());

    for (int i = 1; i < Headings.size(); ++i) {
        call("Next");
        ASSERT_TRUE(lands(Headings[i])) << Headings[i].toStdString();
        EXPECT_EQ(section(), Headings[i]);
        EXPECT_EQ(caption(), "Pause");
    }
    EXPECT_FALSE(property("CanGoNext").toBool());
    EXPECT_TRUE(property("CanGoPrevious").toBool());
    ASSERT_TRUE(vt::test::waitUntil([&] { return listener.sections.contains("Delta harbour"); }));
    ASSERT_FALSE(listener.canGoNext.isEmpty());
    EXPECT_FALSE(listener.canGoNext.last());
    EXPECT_TRUE(listener.sections.contains("Bravo mountain"));
    call("Next"); // nothing after the last section: it reads on
    EXPECT_EQ(section(), "Delta harbour");
    EXPECT_EQ(f.window->readingState(), State::Speaking);

    // Just after the start of a section, Previous goes to the one before...
    call("Previous");
    ASSERT_TRUE(lands("Charlie forest"));
    EXPECT_TRUE(property("CanGoNext").toBool());
    // ...later on, back to the start of the section itself.
    QElapsedTimer heard;
    heard.start();
    // Well into the section by now: past its first chunk, its start long heard.
    ASSERT_TRUE(vt::test::waitUntil([&] {
        return heard.elapsed() > ReadingController::PreviousWindowMs + 400 &&
               !hearing("Charlie forest");
    }));
    EXPECT_EQ(section(), "Charlie forest");
    call("Previous");
    ASSERT_TRUE(lands("Charlie forest"));

    // Paused, a move keeps the reading paused; Resume goes on from there.
    call("Pause");
    ASSERT_TRUE(reaches(State::Paused));
    EXPECT_EQ(caption(), "Resume");
    call("Next");
    EXPECT_EQ(f.window->readingState(), State::Paused);
    EXPECT_EQ(caption(), "Resume");
    EXPECT_EQ(section(), "Delta harbour");
    EXPECT_EQ(property("PlaybackStatus").toString(), "Paused");
    call("PlayPause");
    ASSERT_TRUE(reaches(State::Speaking));
    EXPECT_EQ(caption(), "Pause");
    ASSERT_TRUE(lands("Delta harbour"));

    call("Stop");
    ASSERT_TRUE(reaches(State::Idle));
    EXPECT_FALSE(property("CanGoNext").toBool());
    EXPECT_FALSE(property("CanGoPrevious").toBool());
    EXPECT_EQ(server.hits("/sections"), 1);
    EXPECT_EQ(f.dialogs.count(vt::test::RecordingDialogs::Kind::ErrorReport), 0);
}

TEST_F(MprisSections, WithoutHeadingsNextGoesToTheNextParagraph) {
    VT_REQUIRE_AUDIO();
    f.window->Text1->setText(server.url("/plain"));
    f.window->PushButton2->click(); // the window's own button: the bus moves its reading too
    ASSERT_TRUE(reaches(State::Speaking));
    ASSERT_TRUE(lands("Paragraph 0", 10000));
    EXPECT_EQ(section(), QString::fromUtf8("Paragraph 0 tells of the long road, the wide river and "
                                           "the\u2026"));
    call("Next");
    ASSERT_TRUE(lands("Paragraph 1"));
    call("Next");
    ASSERT_TRUE(lands("Paragraph 2"));
    call("Previous");
    ASSERT_TRUE(lands("Paragraph 1"));
    EXPECT_EQ(caption(), "Pause");
}

TEST(ReadingSections, HeadingsParagraphsAndLines) {
    const QString text = "Intro words here.\n\nFirst head\nBody one.\n\nSecond head\nBody two.";
    const std::vector<TextHeading> headings{{19, "First head"}, {41, "Second head"}};
    ASSERT_EQ(text.mid(19, 10), "First head");
    ASSERT_EQ(text.mid(41, 11), "Second head");
    std::vector<ReadingSection> sections = readingSections(text, headings, "The Page");
    ASSERT_EQ(sections.size(), 3u);
    EXPECT_EQ(sections[0].offset, 0);
    EXPECT_EQ(sections[0].title, "The Page");
    EXPECT_EQ(sections[1].offset, 19);
    EXPECT_EQ(sections[2].title, "Second head");
    EXPECT_EQ(sectionAt(sections, 18), 0u);
    EXPECT_EQ(sectionAt(sections, 19), 1u);
    EXPECT_EQ(sectionAt(sections, 60), 2u);

    // A heading at the very start (after blanks) makes the first section.
    sections = readingSections("\n  Top\nText.\n", {{3, "Top"}}, "The Page");
    ASSERT_EQ(sections.size(), 1u);
    EXPECT_EQ(sections[0].offset, 0);
    EXPECT_EQ(sections[0].title, "Top");

    // Without headings: paragraphs, whatever the blank lines hold.
    sections = readingSections("One a.\nOne b.\n \t\nTwo.\n\n\nThree.", {}, "The Page");
    ASSERT_EQ(sections.size(), 3u);
    EXPECT_EQ(sections[1].offset, 17);
    EXPECT_EQ(sections[1].title, "Two.");
    EXPECT_EQ(sections[2].title, "Three.");
    // Without a blank line between lines of text, each line is one.
    sections = readingSections("\nLine one\nLine two\n", {}, "The Page");
    ASSERT_EQ(sections.size(), 2u);
    EXPECT_EQ(sections[0].offset, 0);
    EXPECT_EQ(sections[1].offset, 10);
    EXPECT_TRUE(readingSections(" \n\t", {}, "The Page").empty());
}

#include "MprisSectionsTest.moc"
