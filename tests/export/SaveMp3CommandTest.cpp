#include "commands/SaveMp3Command.h"

#include "ExportFixture.h"
#include "commands/PageTextCommand.h"
#include "core/SettingsStore.h"
#include "export/OutputName.h"
#include "sources/reader/PageText.h"
#include "speech/voices/VoiceCatalogue.h"
#include "support/TestEnvironment.h"
#include "support/html/HtmlText.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTextStream>
#include <QUrl>

namespace vt {
namespace {

class SaveMp3CommandTest : public test::ExportFixture {
  protected:
    void SetUp() override {
        ExportFixture::SetUp();
        test::clearSettings();
    }
    void TearDown() override {
        test::clearSettings();
        ExportFixture::TearDown();
    }

    int run(const QStringList& arguments) {
        m_outText.clear();
        m_errText.clear();
        QTextStream out(&m_outText);
        QTextStream err(&m_errText);
        return saveMp3Command(m_speech.engine, arguments, out, err);
    }

    QString m_outText;
    QString m_errText;
};

TEST_F(SaveMp3CommandTest, ReadsItsOptionsWithOrWithoutTheProgramNameAndTheOption) {
    // The address and the options are found after the program name, after
    // the option, or first; a misplaced offset would take --rate for the address.
    for (const QStringList& front : {QStringList{"/usr/bin/vellumtone", "--save-mp3"},
                                     QStringList{"--save-mp3"}, QStringList{}}) {
        EXPECT_EQ(run(front + QStringList{"http://x", "--rate", "11"}), 2)
            << front.join(' ').toStdString();
        EXPECT_TRUE(m_errText.contains("--rate does not take \"11\"")) << m_errText.toStdString();
    }
}

TEST_F(SaveMp3CommandTest, UsageErrorsExitWithTwo) {
    EXPECT_EQ(run({"vellumtone", "--save-mp3"}), 2);
    EXPECT_EQ(run({"--save-mp3"}), 2);
    EXPECT_EQ(run({}), 2);
    EXPECT_TRUE(m_errText.contains("Usage: vellumtone --save-mp3 ADDRESS"));
    EXPECT_EQ(run({"--save-mp3", "http://x", "--rate", "11"}), 2);
    EXPECT_TRUE(m_errText.contains("--rate does not take \"11\""));
    EXPECT_EQ(run({"--save-mp3", "http://x", "--volume", "loud"}), 2);
    EXPECT_EQ(run({"--save-mp3", "http://x", "--voice"}), 2);
    EXPECT_EQ(run({"--save-mp3", "http://x", "--voice", "100000"}), 2); // no such voice
    EXPECT_EQ(run({"--save-mp3", "http://x", "--voice", "-2"}), 2);
    EXPECT_EQ(run({"--save-mp3", "http://x", "--colour", "red"}), 2);
    EXPECT_TRUE(m_errText.contains("unknown option --colour"));
    EXPECT_TRUE(m_outText.isEmpty());
    EXPECT_TRUE(QDir(m_out.path()).isEmpty());
}

TEST_F(SaveMp3CommandTest, StoredSettingsAreTheDefaults) {
    m_server.page("/p.txt", "stored settings\n", "text/plain");
    SettingsStore settings;
    settings.write(key::Text3, outFolder());
    settings.write(key::SpeechRate, "2");
    settings.write(key::Combo1, "0");

    EXPECT_EQ(run({"vellumtone", "--save-mp3", m_server.url("/p.txt")}), 0)
        << m_errText.toStdString();
    const QString expected = outPath(mp3NameFor("/p.txt"));
    EXPECT_EQ(m_outText, expected + "\n");
    EXPECT_EQ(m_errText, "Done.\n");
    EXPECT_TRUE(test::decodeMp3(expected).ok);
}

TEST_F(SaveMp3CommandTest, OptionsOverrideTheSettings) {
    m_server.page("/p.txt", "options win\n", "text/plain");
    SettingsStore().write(key::Text3, m_out.filePath("not-this-one/"));
    ASSERT_TRUE(QDir(m_out.path()).mkdir("chosen"));

    // A folder named on the command line needs no trailing separator.
    EXPECT_EQ(run({"--save-mp3", m_server.url("/p.txt"), "--folder", m_out.filePath("chosen"),
                   "--voice=-1", "--volume", "100", "--rate", "10"}),
              0)
        << m_errText.toStdString();
    EXPECT_EQ(m_outText, m_out.filePath("chosen/" + mp3NameFor("/p.txt")) + "\n");
    EXPECT_TRUE(QFileInfo::exists(m_out.filePath("chosen/" + mp3NameFor("/p.txt"))));
}

TEST_F(SaveMp3CommandTest, AVoiceIsNamedAsTheListShowsItInAnyCase) {
    m_server.page("/p.txt", "Guten Morgen, wie geht es dir heute?\n", "text/plain");
    VoiceCatalogue voices(m_speech.engine);
    voices.refresh();
    int german = -1;
    for (std::size_t i = 0; i < voices.voices().size(); ++i) {
        if (voices.voices()[i].name == "German") {
            german = static_cast<int>(i);
        }
    }
    ASSERT_GT(german, 0) << "the German voice is installed and not the first";
    // Each export in a program of its own, so no earlier synthesis in this
    // process can colour the next and equal voices give equal files.
    auto made = [&](const QString& voice) {
        const QString folder = m_out.filePath(voice);
        QDir().mkpath(folder);
        QProcess cli;
        cli.start(EXPORT_CLI_PATH, {"--save-mp3", m_server.url("/p.txt"), "--folder", folder,
                                    "--voice", voice, "--quiet"});
        EXPECT_TRUE(cli.waitForFinished(60000));
        EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
        return test::readAll(folder + "/" + mp3NameFor("/p.txt"));
    };
    const QByteArray byPosition = made(QString::number(german));
    ASSERT_FALSE(byPosition.isEmpty());
    EXPECT_EQ(made("German"), byPosition);
    EXPECT_EQ(made("gERMAN"), byPosition);
    EXPECT_NE(made("0"), byPosition);
    // The whole name, nothing less.
    EXPECT_EQ(run({"--save-mp3", m_server.url("/p.txt"), "--voice", "Germ"}), 2);
    EXPECT_TRUE(m_errText.contains("--voice does not take \"Germ\"")) << m_errText.toStdString();
}

TEST_F(SaveMp3CommandTest, APlainPathIsTheLocalFilesAddress) {
    const QString page = m_out.filePath("notes page.txt");
    test::writeAll(page, "A local file read from a plain path.\n");
    SettingsStore().write(key::Text3, outFolder());
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(m_out.path()));
    const int code = run({"--save-mp3", "notes page.txt", "--quiet"}); // relative, with a blank
    QDir::setCurrent(previous);
    ASSERT_EQ(code, 0) << m_errText.toStdString();
    // Named as the file: address would be: file:///.../notes%20page.txt, cleaned.
    const QString address = QUrl::fromLocalFile(page).toString();
    EXPECT_TRUE(address.startsWith("file:///"));
    const QString mp3 = outPath(SanitiseAddress(address) + ".mp3");
    EXPECT_EQ(m_outText, QDir::toNativeSeparators(mp3) + "\n");
    EXPECT_TRUE(test::decodeMp3(mp3).ok);

    QString text;
    QString errors;
    QTextStream out(&text);
    QTextStream err(&errors);
    EXPECT_EQ(pageTextCommand({page}, out, err), 0) << errors.toStdString();
    EXPECT_EQ(text, "A local file read from a plain path.\n");
    // Not a file: left as it is, and fails as an address.
    EXPECT_EQ(commandAddress(m_out.filePath("missing.txt")), m_out.filePath("missing.txt"));
    EXPECT_EQ(commandAddress("http://example.com/a"), "http://example.com/a");
}

TEST_F(SaveMp3CommandTest, StoredValuesTheWindowWouldRefuseMakeNoMp3) {
    m_server.page("/p.txt", "stored values\n", "text/plain");
    const QString mp3 = outPath(mp3NameFor("/p.txt"));
    SettingsStore settings;
    settings.write(key::Text3, outFolder());
    const struct {
        const char* key;
        const char* value;
        const char* option;
    } refused[] = {{key::SpeechRate, "-100000000", "--rate"},
                   {key::SpeechRate, "11", "--rate"},
                   {key::SpeechRate, "1e20", "--rate"}, // no whole number at all
                   {key::VolumeLevel, "5000", "--volume"},
                   {key::VolumeLevel, "-1", "--volume"}};
    for (const auto& stored : refused) {
        test::clearSettings();
        settings.write(key::Text3, outFolder());
        settings.write(stored.key, stored.value);
        EXPECT_EQ(run({"--save-mp3", m_server.url("/p.txt")}), 1) << stored.value;
        EXPECT_EQ(m_errText,
                  QString("No MP3 was made: the stored setting \"%1\" is \"%2\", not a "
                          "number from %3. Choose one with %4 or in the window.\n")
                      .arg(stored.key, stored.value,
                           QString(stored.key) == key::SpeechRate ? "-10 to 10" : "0 to 100",
                           stored.option));
        EXPECT_TRUE(m_outText.isEmpty());
        EXPECT_FALSE(QFileInfo::exists(mp3)) << stored.value;
    }

    // An option chosen on the command line makes the stored value irrelevant.
    EXPECT_EQ(run({"--save-mp3", m_server.url("/p.txt"), "--volume", "80"}), 0)
        << m_errText.toStdString();
    EXPECT_EQ(m_errText, "Done.\n");
    ASSERT_TRUE(QFile::remove(mp3));
}

TEST_F(SaveMp3CommandTest, AStoredVoiceTheListDoesNotHaveMeansTheDefaultVoice) {
    m_server.page("/p.txt", "stored voice\n", "text/plain");
    SettingsStore settings;
    settings.write(key::Text3, outFolder());
    for (const char* position : {"-7", "100000", "1e300"}) {
        settings.write(key::Combo1, position);
        EXPECT_EQ(run({"--save-mp3", m_server.url("/p.txt")}), 0) << position;
        // No error report on the way: the window's list also selects no voice.
        EXPECT_EQ(m_errText, "Done.\n") << position;
        EXPECT_TRUE(test::decodeMp3(outPath(mp3NameFor("/p.txt"))).ok) << position;
    }
}

TEST_F(SaveMp3CommandTest, AnEmptyFolderNameIsAUsageError) {
    m_server.page("/p.txt", "no folder\n", "text/plain");
    SettingsStore().write(key::Text3, outFolder());
    EXPECT_EQ(run({"--save-mp3", m_server.url("/p.txt"), "--folder", ""}), 2);
    EXPECT_TRUE(m_errText.startsWith("vellumtone: --folder needs a folder name\n"));
    EXPECT_EQ(run({"--save-mp3", m_server.url("/p.txt"), "--folder="}), 2);
    EXPECT_TRUE(m_outText.isEmpty());
    EXPECT_FALSE(QFileInfo::exists("/" + mp3NameFor("/p.txt")));
    EXPECT_TRUE(QDir(m_out.path()).isEmpty());
}

TEST_F(SaveMp3CommandTest, ArticleOrWholePageAsTheOptionsAndTheStoredChoiceSay) {
    QByteArray menu = "<nav class=\"menu\"><ul>";
    for (int i = 0; i < 40; ++i) {
        menu += "<li><a href=\"/s" + QByteArray::number(i) + "\">Section " + QByteArray::number(i) +
                "</a></li>";
    }
    const QByteArray html =
        "<html><head><title>Night trains</title></head><body>" + menu +
        "</ul></nav><article><h1>Night trains</h1><p>The night train to the coast runs again "
        "from May, with sleeping cars, a dining car, and bicycles carried free of charge.</p>"
        "<p>Tickets go on sale next week; a bed costs about the same as a night in a small "
        "hotel, and the train arrives in time for breakfast by the sea.</p><p>The operator "
        "hopes to add a second route in the autumn, if the first summer goes well.</p><p>Railway "
        "clubs welcomed the news, though some asked why the old station at the harbour, "
        "closed twenty years ago, is not to be reopened for the service.</p>"
        "</article></body></html>";
    m_server.page("/trains", html, "text/html");
    const VoiceChoice voice{-1, 50, 10};
    const QStringList fast = {"--folder", m_out.path(), "--rate", "10"};
    const QString mp3 = outPath(mp3NameFor("/trains"));
    const double article = test::spokenSeconds(
        pageTextsOfHtml(html, QString(), PageTextMode::ArticleOnly).text.toUtf8(), voice,
        m_speech.voices);
    const double whole = test::spokenSeconds(renderedText(html).toUtf8(), voice, m_speech.voices);
    ASSERT_LT(article * 1.5, whole) << "the menu must be worth leaving out";

    ASSERT_EQ(run(QStringList{"--save-mp3", m_server.url("/trains"), "--article"} + fast), 0)
        << m_errText.toStdString();
    EXPECT_NEAR(test::decodeMp3(mp3).seconds, article, article * 0.03);

    SettingsStore().write(key::ArticleOnly, "1");
    ASSERT_EQ(run(QStringList{"--save-mp3", m_server.url("/trains")} + fast), 0);
    EXPECT_NEAR(test::decodeMp3(mp3).seconds, article, article * 0.03);
    ASSERT_EQ(run(QStringList{"--save-mp3", m_server.url("/trains"), "--whole-page"} + fast), 0);
    EXPECT_NEAR(test::decodeMp3(mp3).seconds, whole, whole * 0.03);
}

TEST_F(SaveMp3CommandTest, WithoutStoredFolderTheDesktopIsUsed) {
    m_server.page("/p.txt", "desktop\n", "text/plain");
    const QString desktop = test::sandboxFolder() + "/Desktop/";
    EXPECT_EQ(run({"--save-mp3", m_server.url("/p.txt")}), 0) << m_errText.toStdString();
    EXPECT_EQ(m_outText, desktop + mp3NameFor("/p.txt") + "\n");
    QFile::remove(desktop + mp3NameFor("/p.txt"));
}

TEST_F(SaveMp3CommandTest, EveryMessageGoesToTheErrorStreamAndNoMp3ExitsWithOne) {
    EXPECT_EQ(run({"--save-mp3", "http://127.0.0.1:1/", "--folder", m_out.path()}), 1);
    EXPECT_TRUE(m_outText.isEmpty());
    EXPECT_TRUE(m_errText.startsWith("No MP3 was made: the page could not be fetched.\n"));

    // The caller may have taken --save-mp3 off already: ADDRESS comes first.
    EXPECT_EQ(run({"http://127.0.0.1:1/", "--folder", m_out.path()}), 1);
    EXPECT_TRUE(m_errText.startsWith("No MP3 was made: the page could not be fetched.\n"));

    EXPECT_EQ(run({"--save-mp3", "", "--folder", m_out.path()}), 1);
    EXPECT_EQ(m_errText, "Website is blank\n");
    EXPECT_EQ(run({"--save-mp3", "http://x", "--folder", m_out.filePath("nowhere")}), 1);
    EXPECT_EQ(m_errText, "Folder does not exist. Please select another folder.\n");
}

// Runs the export program in a mount namespace where `tiny` is a small file
// system (64 KB unless told), then lists what is left there. Skips where namespaces are not
// allowed.
class FullDiskTest : public test::ExportFixture {
  protected:
    struct Outcome {
        int exitCode = -1;
        QString out;
        QString err;
    };

    Outcome runOnTinyDisk(const QString& tiny, const QStringList& arguments,
                          const QStringList& environment = {},
                          const QString& size = QStringLiteral("64k")) {
        const QString script =
            "tiny=$1; shift; mount -t tmpfs -o size=" + size +
            " tmpfs \"$tiny\" || exit 97; "
            "printf 'earlier' > \"$tiny/keep.mp3\"; \"$@\"; code=$?; "
            "echo \"listing:$(ls -A \"$tiny\" | tr '\\n' ' ')\"; echo \"keep:$(cat "
            "\"$tiny/keep.mp3\")\"; "
            "exit $code";
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const QString& setting : environment) {
            env.insert(setting.section('=', 0, 0), setting.section('=', 1));
        }
        process.setProcessEnvironment(env);
        process.start("unshare", QStringList{"--map-root-user", "--mount", "sh", "-c", script, "sh",
                                             tiny, EXPORT_CLI_PATH} +
                                     arguments);
        Outcome outcome;
        if (!process.waitForStarted()) {
            return outcome;
        }
        // The local server answers on its own thread; just wait here.
        test::waitUntil([&] { return process.state() == QProcess::NotRunning; }, 240000);
        outcome.exitCode = process.exitCode();
        outcome.out = QString::fromLocal8Bit(process.readAllStandardOutput());
        outcome.err = QString::fromLocal8Bit(process.readAllStandardError());
        return outcome;
    }

    bool namespacesWork() {
        return QProcess::execute("unshare", {"--map-root-user", "--mount", "true"}) == 0;
    }
};

TEST_F(FullDiskTest, FullOutputDiskLeavesTheEarlierFileAndNoPartialFile) {
    if (!namespacesWork()) {
        GTEST_SKIP() << "unshare cannot make a mount namespace here";
    }
    m_server.page("/keep.mp3", test::sentences(40, 6), "text/plain");
    // The address names the MP3 "…keep.mp3.mp3"; what was in the folder stays.
    const QString tiny = m_out.filePath("tiny");
    ASSERT_TRUE(QDir().mkpath(tiny));

    const Outcome outcome =
        runOnTinyDisk(tiny, {"--save-mp3", m_server.url("/keep.mp3"), "--folder", tiny});

    ASSERT_NE(outcome.exitCode, 97) << "tmpfs could not be mounted";
    EXPECT_EQ(outcome.exitCode, 1) << outcome.err.toStdString();
    EXPECT_TRUE(outcome.err.contains("No MP3 was made: the disk is full."))
        << outcome.err.toStdString();
    EXPECT_TRUE(outcome.out.contains("listing:keep.mp3 \n")) << outcome.out.toStdString();
    EXPECT_TRUE(outcome.out.contains("keep:earlier")) << outcome.out.toStdString();
}

// A TEMP with room for some of the speech: the WAV fills it, and its removal
// frees the room again before the job looks.
TEST_F(FullDiskTest, TemporaryDiskFilledByTheSpeechIsReportedAsFullNamingTheFolder) {
    if (!namespacesWork()) {
        GTEST_SKIP() << "unshare cannot make a mount namespace here";
    }
    // About 3 MB of speech at 22,050 Hz, 16 bits, mono.
    m_server.page("/long.txt", test::sentences(60, 8), "text/plain");
    const QString tiny = m_out.filePath("smalltemp");
    ASSERT_TRUE(QDir().mkpath(tiny));

    const Outcome outcome =
        runOnTinyDisk(tiny, {"--save-mp3", m_server.url("/long.txt"), "--folder", m_out.path()},
                      {"TEMP=" + tiny}, QStringLiteral("2m"));

    ASSERT_NE(outcome.exitCode, 97) << "tmpfs could not be mounted";
    EXPECT_EQ(outcome.exitCode, 1) << outcome.err.toStdString();
    EXPECT_TRUE(outcome.err.contains("No MP3 was made: the disk is full."))
        << outcome.err.toStdString();
    EXPECT_TRUE(outcome.err.contains(QDir::toNativeSeparators(tiny))) << outcome.err.toStdString();
    EXPECT_FALSE(outcome.err.contains("could not be spoken")) << outcome.err.toStdString();
    EXPECT_FALSE(outcome.out.contains(".wav")) << outcome.out.toStdString();
    EXPECT_FALSE(QFileInfo::exists(m_out.filePath(mp3NameFor("/long.txt"))));
}

TEST_F(FullDiskTest, FullTemporaryDiskSaysSoAndLeavesNothingThere) {
    if (!namespacesWork()) {
        GTEST_SKIP() << "unshare cannot make a mount namespace here";
    }
    m_server.page("/p.txt", test::sentences(40, 6), "text/plain");
    const QString tiny = m_out.filePath("tinytemp");
    ASSERT_TRUE(QDir().mkpath(tiny));

    const Outcome outcome = runOnTinyDisk(
        tiny, {"--save-mp3", m_server.url("/p.txt"), "--folder", m_out.path()}, {"TEMP=" + tiny});

    ASSERT_NE(outcome.exitCode, 97) << "tmpfs could not be mounted";
    EXPECT_EQ(outcome.exitCode, 1) << outcome.err.toStdString();
    EXPECT_TRUE(outcome.err.contains("No MP3 was made: the disk is full."))
        << outcome.err.toStdString();
    // (The sound system may keep a folder of its own in TEMP.)
    EXPECT_TRUE(outcome.out.contains("listing:keep.mp3 ")) << outcome.out.toStdString();
    EXPECT_FALSE(outcome.out.contains("vellumtone-")) << outcome.out.toStdString();
    EXPECT_FALSE(outcome.out.contains(".wav")) << outcome.out.toStdString();
    EXPECT_FALSE(QFileInfo::exists(m_out.filePath(mp3NameFor("/p.txt"))));
}

} // namespace
} // namespace vt
