#include "commands/PageTextCommand.h"

#include "commands/InterruptibleRun.h"
#include "core/Failure.h"
#include "core/TempFolders.h"
#include "sources/GetPageText.h"
#include "sources/PageTextModeSetting.h"

#include <QCoreApplication>
#include <QStringConverter>
#include <QTextStream>

namespace vt {

int printPageTextCommand(const QString& address, QTextStream& out, QTextStream& err,
                         PageTextMode mode) {
    QString text;
    QString failure;
    if (!QCoreApplication::instance()) {
        failure = QStringLiteral("The page text command needs an application object.");
    } else {
        PrivateFolder folder;
        if (!folder.isValid()) {
            failure =
                QStringLiteral("Cannot create a temporary folder in \"%1\".").arg(temporaryRoot());
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
    return printPageTextCommand(arguments.value(0), out, err, mode);
}

bool isPageTextCommand(QStringList arguments) {
    takePageTextModeOptions(arguments);
    return arguments.size() == 1;
}

} // namespace vt
