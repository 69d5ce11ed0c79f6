#include "RecordingDialogs.h"

#include <QMutexLocker>

namespace vt::test {

void RecordingDialogs::record(Kind kind, const QString& text, const QString& extra) {
    std::function<void(Kind, const QString&)> observer;
    {
        QMutexLocker lock(&m_mutex);
        m_entries.append({kind, text, extra});
        observer = m_observer;
    }
    if (observer) {
        observer(kind, text);
    }
}

void RecordingDialogs::setObserver(std::function<void(Kind, const QString&)> observer) {
    QMutexLocker lock(&m_mutex);
    m_observer = std::move(observer);
}

bool RecordingDialogs::message(MessageKind kind, const QString& text) {
    switch (kind) {
    case MessageKind::Notice:
        record(Kind::Notice, text);
        return false;
    case MessageKind::ErrorReport:
        record(Kind::ErrorReport, text);
        return false;
    case MessageKind::Question:
        break;
    }
    record(Kind::Question, text);
    QMutexLocker lock(&m_mutex);
    return m_answers.isEmpty() ? false : m_answers.dequeue();
}

QString RecordingDialogs::nextPath() {
    QMutexLocker lock(&m_mutex);
    return m_paths.isEmpty() ? QString() : m_paths.dequeue();
}

QString RecordingDialogs::chooseFile(FileDialogKind kind, const FileDialogRequest& request) {
    record(kind == FileDialogKind::Open ? Kind::OpenFile : Kind::SaveFile, request.title,
           request.filters.join(";;"));
    return nextPath();
}

QString RecordingDialogs::browseForFolder(const QString& prompt, const QString& startFolder) {
    record(Kind::BrowseFolder, prompt, startFolder);
    return nextPath();
}

bool RecordingDialogs::openUrl(const QString& url) {
    record(Kind::OpenUrl, url);
    return true;
}

void RecordingDialogs::queueAnswer(bool yes) {
    QMutexLocker lock(&m_mutex);
    m_answers.enqueue(yes);
}

void RecordingDialogs::queuePath(const QString& path) {
    QMutexLocker lock(&m_mutex);
    m_paths.enqueue(path);
}

QList<RecordingDialogs::Entry> RecordingDialogs::entries() const {
    QMutexLocker lock(&m_mutex);
    return m_entries;
}

QList<RecordingDialogs::Entry> RecordingDialogs::entriesOf(Kind kind) const {
    QList<Entry> result;
    for (const Entry& e : entries()) {
        if (e.kind == kind) {
            result.append(e);
        }
    }
    return result;
}

QStringList RecordingDialogs::textsOf(Kind kind) const {
    QStringList texts;
    for (const Entry& e : entriesOf(kind)) {
        texts.append(e.text);
    }
    return texts;
}

int RecordingDialogs::count(Kind kind) const {
    return static_cast<int>(entriesOf(kind).size());
}

void RecordingDialogs::clear() {
    QMutexLocker lock(&m_mutex);
    m_entries.clear();
    m_answers.clear();
    m_paths.clear();
}

} // namespace vt::test
