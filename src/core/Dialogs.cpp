#include "Dialogs.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QThread>

namespace vt {

class ThreadSafeDialogs::Dispatcher : public QObject {};

ThreadSafeDialogs::ThreadSafeDialogs(Dialogs& target)
    : m_target(target), m_dispatcher(new Dispatcher) {}

ThreadSafeDialogs::~ThreadSafeDialogs() {
    delete m_dispatcher;
}

template <typename F> auto ThreadSafeDialogs::onTargetThread(F&& call) -> decltype(call()) {
    using Result = decltype(call());
    if (QThread::currentThread() == m_dispatcher->thread()) {
        return call();
    }
    if constexpr (std::is_void_v<Result>) {
        QMetaObject::invokeMethod(m_dispatcher, std::forward<F>(call),
                                  Qt::BlockingQueuedConnection);
    } else {
        Result result{};
        QMetaObject::invokeMethod(
            m_dispatcher, [&] { result = call(); }, Qt::BlockingQueuedConnection);
        return result;
    }
}

void ThreadSafeDialogs::notice(const QString& text) {
    onTargetThread([&] { m_target.notice(text); });
}
bool ThreadSafeDialogs::question(const QString& text) {
    return onTargetThread([&] { return m_target.question(text); });
}
void ThreadSafeDialogs::errorReport(const QString& text) {
    onTargetThread([&] { m_target.errorReport(text); });
}
QString ThreadSafeDialogs::openFile(const FileDialogRequest& request) {
    return onTargetThread([&] { return m_target.openFile(request); });
}
QString ThreadSafeDialogs::saveFile(const FileDialogRequest& request) {
    return onTargetThread([&] { return m_target.saveFile(request); });
}
QString ThreadSafeDialogs::browseForFolder(const QString& prompt, const QString& startFolder) {
    return onTargetThread([&] { return m_target.browseForFolder(prompt, startFolder); });
}
bool ThreadSafeDialogs::openUrl(const QString& url) {
    return onTargetThread([&] { return m_target.openUrl(url); });
}

} // namespace vt
