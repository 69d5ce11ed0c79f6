#include "StreamDialogs.h"

#include <QLoggingCategory>
#include <QMutexLocker>
#include <QTextStream>

namespace vt {

StreamDialogs::StreamDialogs(QTextStream& stream) : m_stream(stream) {}

void StreamDialogs::write(const QString& text) {
    QMutexLocker lock(&m_mutex);
    m_stream << withLineFeeds(text) << '\n';
    m_stream.flush();
}

void StreamDialogs::notice(const QString& text) {
    write(text);
}

bool StreamDialogs::question(const QString& text) {
    write(text + QStringLiteral("\n(No window to answer in: No.)"));
    return false;
}

void StreamDialogs::errorReport(const QString& text) {
    write(QStringLiteral("Application Error\n") + text);
}

QString StreamDialogs::openFile(const FileDialogRequest& request) {
    write(QStringLiteral("(No window for the open dialog \"%1\".)").arg(request.title));
    return QString();
}

QString StreamDialogs::saveFile(const FileDialogRequest& request) {
    write(QStringLiteral("(No window for the save dialog \"%1\".)").arg(request.title));
    return QString();
}

QString StreamDialogs::browseForFolder(const QString& prompt, const QString& startFolder) {
    static_cast<void>(startFolder);
    write(QStringLiteral("(No window for the folder dialog \"%1\".)").arg(prompt));
    return QString();
}

bool StreamDialogs::openUrl(const QString& url) {
    write(QStringLiteral("(Not opened in a browser: %1)").arg(url));
    return false;
}

void leaveFailuresToTheStreams() {
    // QT_LOGGING_RULES is applied after these rules, so it still wins.
    QLoggingCategory::setFilterRules(QStringLiteral("vellumtone.*.warning=false"));
}

} // namespace vt
