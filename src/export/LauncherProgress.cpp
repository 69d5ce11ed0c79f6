#include "LauncherProgress.h"

#include <QCryptographicHash>
#include <QDBusMessage>
#include <QMutex>
#include <QVariantMap>

namespace vt {

namespace {
constexpr char EntryInterface[] = "com.canonical.Unity.LauncherEntry";
constexpr char PathPrefix[] = "/com/canonical/unity/launcherentry/";

// Chains two calls of the same kind; either may be empty.
template <typename... Args>
std::function<void(Args...)> both(std::function<void(Args...)> first,
                                  std::function<void(Args...)> second) {
    if (!first) {
        return second;
    }
    return [first = std::move(first), second = std::move(second)](Args... args) {
        first(args...);
        second(args...);
    };
}
} // namespace

struct LauncherProgress::Entry {
    QDBusConnection bus;
    QString uri;
    QString path;
    QMutex mutex;
    int parts = 0;
    int done = 0; // parts rendered plus parts encoded

    Entry(QDBusConnection connection, QString applicationUri)
        : bus(std::move(connection)), uri(std::move(applicationUri)), path(objectPath(uri)) {}

    void send(const QVariantMap& properties) {
        if (!bus.isConnected()) {
            return;
        }
        QDBusMessage signal = QDBusMessage::createSignal(path, QString::fromLatin1(EntryInterface),
                                                         QStringLiteral("Update"));
        signal << uri << properties;
        bus.send(signal); // queued by the bus library: the caller never waits
    }
    void begin() {
        QMutexLocker lock(&mutex);
        parts = 0;
        done = 0;
        send({{QStringLiteral("progress"), 0.0}, {QStringLiteral("progress-visible"), true}});
    }
    void setParts(int count) {
        QMutexLocker lock(&mutex);
        parts = count;
    }
    void step() {
        QMutexLocker lock(&mutex);
        ++done;
        if (parts > 0) {
            const double share = qMin(1.0, double(done) / double(2 * parts));
            send({{QStringLiteral("progress"), share}, {QStringLiteral("progress-visible"), true}});
        }
    }
    void end() {
        QMutexLocker lock(&mutex);
        send({{QStringLiteral("progress-visible"), false}});
    }
};

LauncherProgress::LauncherProgress(QDBusConnection bus, const QString& desktopFileId)
    : m_entry(std::make_shared<Entry>(
          std::move(bus), QStringLiteral("application://%1.desktop").arg(desktopFileId))) {}

bool LauncherProgress::isConnected() const {
    return m_entry->bus.isConnected();
}

QString LauncherProgress::applicationUri() const {
    return m_entry->uri;
}

QString LauncherProgress::objectPath(const QString& applicationUri) {
    // Only letters, digits and "_" may form a path element: a hash of the uri.
    const QByteArray hash =
        QCryptographicHash::hash(applicationUri.toUtf8(), QCryptographicHash::Md5).toHex();
    return QString::fromLatin1(PathPrefix) + QString::fromLatin1(hash);
}

ExportProgress LauncherProgress::attachTo(ExportProgress progress) const {
    const std::shared_ptr<Entry> entry = m_entry;
    progress.workStarts = both<>(std::move(progress.workStarts), {[entry] { entry->begin(); }});
    progress.workEnds = both<>(std::move(progress.workEnds), {[entry] { entry->end(); }});
    progress.partsKnown =
        both<int>(std::move(progress.partsKnown), {[entry](int parts) { entry->setParts(parts); }});
    progress.partRendered =
        both<int>(std::move(progress.partRendered), {[entry](int) { entry->step(); }});
    progress.partEncoded =
        both<int>(std::move(progress.partEncoded), {[entry](int) { entry->step(); }});
    return progress;
}

} // namespace vt
