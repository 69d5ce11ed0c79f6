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

bool StreamDialogs::message(MessageKind kind, const QString& text) {
    switch (kind) {
    case MessageKind::Notice:
        write(text);
        break;
    case MessageKind::Question:
        write(text + QStringLiteral("\n(No window to answer in: No.)"));
        break;
    case MessageKind::ErrorReport:
        write(QStringLiteral("Application Error\n") + text);
        break;
    }
    return false;
}

QString StreamDialogs::chooseFile(FileDialogKind kind, const FileDialogRequest& request) {
    const QString dialog =
        kind == FileDialogKind::Open ? QStringLiteral("open") : QStringLiteral("save");
    write(QStringLiteral("(No window for the %1 dialog \"%2\".)").arg(dialog, request.title));
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
