#include "Dialogs.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QMetaObject>
#include <QObject>
#include <QThread>

namespace vt {

void noticeFailure(Dialogs& dialogs, const QLoggingCategory& category, const QString& text) {
    QMessageLogger().warning(category).noquote() << withLineFeeds(text);
    dialogs.notice(text);
}

QString withLineFeeds(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

template <typename Result, typename F> Result DialogsRelay::answer(F&& ask) {
    Result result{};
    relay([&] { result = ask(m_target); });
    return result;
}

bool DialogsRelay::message(MessageKind kind, const QString& text) {
    return answer<bool>([&](Dialogs& d) { return d.message(kind, text); });
}
QString DialogsRelay::chooseFile(FileDialogKind kind, const FileDialogRequest& request) {
    return answer<QString>([&](Dialogs& d) { return d.chooseFile(kind, request); });
}
QString DialogsRelay::browseForFolder(const QString& prompt, const QString& startFolder) {
    return answer<QString>([&](Dialogs& d) { return d.browseForFolder(prompt, startFolder); });
}
bool DialogsRelay::openUrl(const QString& url) {
    return answer<bool>([&](Dialogs& d) { return d.openUrl(url); });
}

class ThreadSafeDialogs::Dispatcher : public QObject {};

ThreadSafeDialogs::ThreadSafeDialogs(Dialogs& target)
    : DialogsRelay(target), m_dispatcher(new Dispatcher) {}

ThreadSafeDialogs::~ThreadSafeDialogs() {
    delete m_dispatcher;
}

void ThreadSafeDialogs::relay(const std::function<void()>& call) {
    if (QThread::currentThread() == m_dispatcher->thread()) {
        call();
    } else {
        QMetaObject::invokeMethod(m_dispatcher, call, Qt::BlockingQueuedConnection);
    }
}

} // namespace vt
