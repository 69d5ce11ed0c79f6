#include "commands/PageTextCommand.h"

#include "commands/InterruptibleRun.h"
#include "core/Failure.h"
#include "core/files/TempFolders.h"
#include "sources/reader/GetPageText.h"
#include "sources/reader/PageTextModeSetting.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringConverter>
#include <QTextStream>
#include <QUrl>

namespace vt {

QString commandAddress(const QString& argument) {
    const QFileInfo file(argument);
    if (argument.isEmpty() || !QUrl(argument).scheme().isEmpty() || !file.isFile()) {
        return argument;
    }
    return QUrl::fromLocalFile(file.absoluteFilePath()).toString();
}

int printPageTextCommand(const QString& address, QTextStream& out, QTextStream& err,
                         PageTextMode mode) {
    QString text;
    QString failure;
    if (!QCoreApplication::instance()) {
        failure = QStringLiteral("The page text command needs an application object.");
    } else {
        PrivateFolder folder;
        if (!folder.isValid()) {
            failure = folder.errorString().isEmpty()
                          ? QStringLiteral("Cannot create a temporary folder in \"%1\".")
                                .arg(temporaryRoot())
                          : QStringLiteral("Cannot create a temporary folder: %1.")
                                .arg(folder.errorString());
        } else {
            // Ctrl+C and SIGTERM cancel the fetch, so the command still ends
            // the ordinary way and its private folder is removed.
            runInterruptibly([&](std::stop_token cancel) {
                try {
                    text = GetPageText(address, folder.path(), std::move(cancel), mode);
                } catch (const std::exception& e) {
                    failure = describe(e);
                }
            });
        }
    }
    if (!failure.isEmpty()) {
        err << failure << '\n';
        err.flush();
        return 1;
    }
    out.setEncoding(QStringConverter::Utf8);
    out << text;
    out.flush();
    return 0;
}

int pageTextCommand(QStringList arguments, QTextStream& out, QTextStream& err) {
    const PageTextMode mode = takePageTextModeOptions(arguments);
    return printPageTextCommand(commandAddress(arguments.value(0)), out, err, mode);
}

bool isPageTextCommand(QStringList arguments) {
    takePageTextModeOptions(arguments);
    return arguments.size() == 1;
}

} // namespace vt
