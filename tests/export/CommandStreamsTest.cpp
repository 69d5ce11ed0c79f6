// The real program's commands tell a failure once on the terminal: the
// warning the failure is also logged as stays off it unless asked for.
#include "support/TestEnvironment.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

constexpr char FolderMissing[] = "Folder does not exist. Please select another folder.";

// What --save-mp3 writes on its error stream for a folder that does not exist.
QString missingFolderStderr(const QString& loggingRules) {
    QTemporaryDir dir;
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_LOGGING_RULES"));
    if (!loggingRules.isEmpty()) {
        environment.insert(QStringLiteral("QT_LOGGING_RULES"), loggingRules);
    }
    process.setProcessEnvironment(environment);
    process.start(VELLUMTONE_PATH,
                  {"--save-mp3", "http://127.0.0.1:9/page", "--folder", dir.filePath("nowhere")});
    if (!process.waitForFinished(60000) || process.exitCode() != 1) {
        return QStringLiteral("the command did not fail as expected");
    }
    return QString::fromUtf8(process.readAllStandardError());
}

TEST(CommandStreams, AFailureIsToldOnceAndLoggedWhenTheLogIsAskedFor) {
    const QString quiet = missingFolderStderr(QString());
    EXPECT_EQ(quiet.count(FolderMissing), 1) << quiet.toStdString();
    EXPECT_FALSE(quiet.contains("vellumtone.")) << quiet.toStdString();

    const QString logged = missingFolderStderr(QStringLiteral("vellumtone.export.warning=true"));
    EXPECT_EQ(logged.count(FolderMissing), 2) << logged.toStdString();
}

} // namespace
