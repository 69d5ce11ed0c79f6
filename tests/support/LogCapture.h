#pragma once

#include <QMutex>
#include <QMutexLocker>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace vt::test {

// Collects the warnings logged while it lives, from any thread, as
// "category: text". One at a time.
class LogCapture {
  public:
    LogCapture() {
        instance() = this;
        m_previous = qInstallMessageHandler(&LogCapture::handle);
    }
    ~LogCapture() {
        qInstallMessageHandler(m_previous);
        instance() = nullptr;
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    QStringList warnings() const {
        QMutexLocker lock(&m_mutex);
        return m_warnings;
    }
    // The warnings logged in category that contain text.
    qsizetype count(const QString& category, const QString& text) const {
        qsizetype found = 0;
        for (const QString& warning : warnings()) {
            found += warning.startsWith(category + QStringLiteral(": ")) && warning.contains(text);
        }
        return found;
    }

  private:
    static LogCapture*& instance() {
        static LogCapture* current = nullptr;
        return current;
    }
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        LogCapture* self = instance();
        if (self && type == QtWarningMsg) {
            QMutexLocker lock(&self->m_mutex);
            self->m_warnings.append(QString::fromLatin1(context.category ? context.category : "") +
                                    QStringLiteral(": ") + text);
        }
    }

    mutable QMutex m_mutex;
    QStringList m_warnings;
    QtMessageHandler m_previous = nullptr;
};

} // namespace vt::test
