#include "CancellableDialogs.h"

namespace vt {

CancellableDialogs::CancellableDialogs(Dialogs& target, const std::atomic_bool& cancelled)
    : m_target(target), m_cancelled(cancelled) {}

void CancellableDialogs::notice(const QString& text) {
    if (open()) {
        m_target.notice(text);
    }
}

bool CancellableDialogs::question(const QString& text) {
    return open() && m_target.question(text);
}

void CancellableDialogs::errorReport(const QString& text) {
    if (open()) {
        m_target.errorReport(text);
    }
}

QString CancellableDialogs::openFile(const FileDialogRequest& request) {
    return open() ? m_target.openFile(request) : QString();
}

QString CancellableDialogs::saveFile(const FileDialogRequest& request) {
    return open() ? m_target.saveFile(request) : QString();
}

QString CancellableDialogs::browseForFolder(const QString& prompt, const QString& startFolder) {
    return open() ? m_target.browseForFolder(prompt, startFolder) : QString();
}

bool CancellableDialogs::openUrl(const QString& url) {
    return open() && m_target.openUrl(url);
}

} // namespace vt
