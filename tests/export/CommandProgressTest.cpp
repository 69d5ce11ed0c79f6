#include "commands/CommandProgress.h"

#include "ExportFixture.h"
#include "commands/StreamDialogs.h"

#include <QProcess>
#include <QTextStream>

namespace vt {
namespace {

TEST(ProgressText, CountsPartsAndEstimatesTheRest) {
    EXPECT_EQ(clockText(0), "0:00");
    EXPECT_EQ(clockText(65999), "1:05");
    EXPECT_EQ(clockText(3725000), "1:02:05");
    EXPECT_EQ(progressText(0, 0, 0, 2500), "Fetching the page, 0:02 elapsed");
    // 5 of 20 steps took 10 s: 15 steps are left.
    EXPECT_EQ(progressText(3, 2, 10, 10000),
              "Parts rendered 3/10, encoded 2/10, 0:10 elapsed, about 0:30 left");
    EXPECT_EQ(progressText(0, 0, 4, 3000), "Parts rendered 0/4, encoded 0/4, 0:03 elapsed");
    EXPECT_EQ(progressText(4, 4, 4, 61000), "Parts rendered 4/4, encoded 4/4, 1:01 elapsed");
}

TEST(TerminalProgress, RewritesOneLineAndKeepsMessagesOffIt) {
    QString screen;
    QTextStream terminal(&screen);
    TerminalProgress progress(terminal);
    StreamDialogs plain(terminal);
    ProgressAwareDialogs dialogs(plain, progress);
    const ExportProgress listeners = progress.callbacks();

    listeners.workStarts();
    listeners.partsKnown(2);
    listeners.partRendered(1);
    dialogs.notice("A message");
    listeners.partEncoded(1);
    listeners.partRendered(2);
    listeners.partEncoded(2);
    listeners.workEnds();
    dialogs.notice("Done.");
    progress.tick(); // the work is over: nothing more is drawn

    const QStringList lines = screen.split('\n');
    ASSERT_EQ(lines.size(), 4) << screen.toStdString(); // ends with a line break
    // The line as it stood when the message came, cleared, then the message on a line of its own.
    EXPECT_TRUE(lines[0].startsWith("\r\x1b[KFetching the page, 0:00 elapsed\r\x1b[KParts rendered "
                                    "0/2, encoded 0/2"));
    EXPECT_TRUE(lines[0].endsWith("\r\x1b[KA message")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].contains("Parts rendered 1/2, encoded 0/2"));
    EXPECT_TRUE(lines[1].contains("Parts rendered 2/2, encoded 2/2, 0:00 elapsed"));
    EXPECT_FALSE(lines[1].contains("A message"));
    EXPECT_EQ(lines[2], "Done.");
    EXPECT_EQ(lines[3], "");
}

TEST(StreamDialogs, TellsEachDialogItCannotShowAndAnswersAsCancelled) {
    QString screen;
    QTextStream stream(&screen);
    StreamDialogs dialogs(stream);
    dialogs.notice("Saved.\r\nDone");
    EXPECT_FALSE(dialogs.question("Replace?"));
    dialogs.errorReport("Step 3");
    EXPECT_EQ(dialogs.openFile({"Load Text", {}}), "");
    EXPECT_EQ(dialogs.saveFile({"Save Text", {}}), "");
    EXPECT_EQ(dialogs.browseForFolder("Pick", "/tmp"), "");
    EXPECT_FALSE(dialogs.openUrl("https://example.org/"));
    EXPECT_EQ(screen.split('\n'),
              QStringList({"Saved.", "Done", "Replace?", "(No window to answer in: No.)",
                           "Application Error", "Step 3",
                           "(No window for the open dialog \"Load Text\".)",
                           "(No window for the save dialog \"Save Text\".)",
                           "(No window for the folder dialog \"Pick\".)",
                           "(Not opened in a browser: https://example.org/)", ""}));
}

// The real command on a pseudo-terminal, as a user at a terminal sees it.
class CommandProgressTest : public test::ExportFixture {
  protected:
    void SetUp() override {
        ExportFixture::SetUp();
        m_server.page("/talk.txt", test::sentences(12, 5), "text/plain; charset=utf-8");
    }
    QStringList command(const QStringList& extra) {
        return QStringList{EXPORT_CLI_PATH,
                           "--save-mp3",
                           m_server.url("/talk.txt"),
                           "--folder",
                           m_out.path(),
                           "--voice",
                           "-1",
                           "--rate",
                           "10"} +
               extra;
    }
    // Runs the command; on a terminal (through script(1)) when asked. Returns
    // what reached the terminal, or standard error when there is none.
    QString run(const QStringList& arguments, bool onTerminal, int* exitCode) {
        QProcess process;
        if (onTerminal) {
            QStringList quoted;
            for (const QString& a : arguments) {
                quoted << "'" + a + "'";
            }
            process.start("script", {"-q", "-e", "-c", quoted.join(' '), "/dev/null"});
        } else {
            process.start(arguments.first(), arguments.mid(1));
        }
        EXPECT_TRUE(process.waitForStarted());
        // The local server answers on its own thread; just wait here.
        test::waitUntil([&] { return process.state() == QProcess::NotRunning; }, 240000);
        *exitCode = process.exitCode();
        return QString::fromUtf8(onTerminal ? process.readAllStandardOutput()
                                            : process.readAllStandardError());
    }
};

TEST_F(CommandProgressTest, ATerminalSeesOneLineUpdatedInPlace) {
    int code = -1;
    const QString screen = run(command({}), true, &code);
    EXPECT_EQ(code, 0) << screen.toStdString();
    EXPECT_TRUE(screen.contains("\r\x1b[KFetching the page, 0:0")) << screen.toStdString();
    EXPECT_TRUE(screen.contains("\r\x1b[KParts rendered 1/1, encoded 0/1"));
    EXPECT_TRUE(screen.contains("\r\x1b[KParts rendered 1/1, encoded 1/1, 0:"))
        << screen.toStdString();
    // The progress stays on one line: the first line break ends it, and "Done." follows.
    const qsizetype firstBreak = screen.indexOf('\n');
    EXPECT_GT(screen.lastIndexOf("Parts rendered 1/1, encoded 1/1"), 0);
    EXPECT_LT(screen.lastIndexOf("Parts rendered"), firstBreak);
    EXPECT_TRUE(screen.mid(firstBreak).contains("Done."));
}

TEST_F(CommandProgressTest, NothingWhenNotATerminalOrWhenQuiet) {
    int code = -1;
    const QString err = run(command({}), false, &code);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(err.trimmed(), "Done.");

    const QString quiet = run(command({"--quiet"}), true, &code);
    EXPECT_EQ(code, 0) << quiet.toStdString();
    EXPECT_FALSE(quiet.contains("Parts rendered")) << quiet.toStdString();
    EXPECT_FALSE(quiet.contains("\x1b[K"));
    EXPECT_TRUE(quiet.contains("Done."));
}

} // namespace
} // namespace vt
