#include "commands/PageTextCommand.h"

#include "QtPrinting.h"
#include "core/files/TempFolders.h"
#include "support/LocalHttpServer.h"

#include <QDir>
#include <QTextStream>
#include <csignal>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

using vt::test::HttpRoute;
using vt::test::LocalHttpServer;

namespace {

struct Printed {
    int exitCode;
    QByteArray out;
    QString err;
};

Printed run(const QString& address) {
    QByteArray outBytes;
    QString errText;
    int code = 0;
    {
        QTextStream out(&outBytes);
        QTextStream err(&errText);
        code = vt::printPageTextCommand(address, out, err);
    }
    return {code, outBytes, errText};
}

TEST(PageTextCommand, PrintsExactlyThePageTextInUtf8) {
    LocalHttpServer server;
    server.page("/p", "<meta charset=windows-1252><h1>Caf\xE9</h1><p>line \x80</p>", "text/html");
    const Printed printed = run(server.url("/p"));
    EXPECT_EQ(printed.exitCode, 0);
    EXPECT_EQ(printed.out, QByteArray("Caf\xC3\xA9\n\nline \xE2\x82\xAC"));
    EXPECT_TRUE(printed.err.isEmpty());
}

TEST(PageTextCommand, AFailurePrintsItsDescriptionOnErrAndFails) {
    LocalHttpServer server;
    const Printed printed = run(server.url("/missing"));
    EXPECT_NE(printed.exitCode, 0);
    EXPECT_TRUE(printed.out.isEmpty());
    EXPECT_TRUE(printed.err.contains("404 Not Found")) << printed.err.toStdString();
    EXPECT_TRUE(printed.err.endsWith('\n'));
}

TEST(PageTextCommand, LeavesNothingInTheTemporaryFolder) {
    LocalHttpServer server;
    server.page("/p", "<p>x</p>");
    const QStringList before =
        QDir(vt::temporaryRoot()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries);
    EXPECT_EQ(run(server.url("/p")).exitCode, 0);
    EXPECT_EQ(QDir(vt::temporaryRoot()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), before);
}

// Ctrl+C or SIGTERM while the page is being fetched: the command ends the
// ordinary way, says so, and its private folder is gone.
TEST(PageTextCommand, AnInterruptLeavesNothingInTheTemporaryFolder) {
    LocalHttpServer server;
    HttpRoute silent;
    silent.behaviour = HttpRoute::Behaviour::NeverAnswer;
    server.route("/silent", silent);
    const QStringList before =
        QDir(vt::temporaryRoot()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries);
    for (const int signal : {SIGINT, SIGTERM}) {
        const int hitsBefore = server.hits("/silent");
        std::thread interrupter([&] {
            while (server.hits("/silent") == hitsBefore) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            kill(getpid(), signal);
        });
        const Printed printed = run(server.url("/silent"));
        interrupter.join();
        EXPECT_EQ(printed.exitCode, 1);
        EXPECT_TRUE(printed.err.contains("cancelled")) << printed.err.toStdString();
        EXPECT_EQ(QDir(vt::temporaryRoot()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                  before);
    }
    // The handlers are the earlier ones again.
    EXPECT_EQ(std::signal(SIGINT, SIG_DFL), SIG_DFL);
    EXPECT_EQ(std::signal(SIGTERM, SIG_DFL), SIG_DFL);
}

} // namespace
