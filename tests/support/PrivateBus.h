#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace vt::test {

// A session bus of the test's own (dbus-daemon), gone with the object.
// address() is "" when the daemon could not start.
class PrivateBus {
  public:
    explicit PrivateBus(QString connectionName = QStringLiteral("vt-private-bus"))
        : m_name(std::move(connectionName)) {
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--session"), QStringLiteral("--nofork"),
                        QStringLiteral("--nopidfile"), QStringLiteral("--print-address=1")});
        if (m_daemon.waitForStarted() && m_daemon.waitForReadyRead(10000)) {
            m_address = QString::fromLatin1(m_daemon.readLine().trimmed());
        }
    }
    ~PrivateBus() {
        QDBusConnection::disconnectFromBus(m_name);
        m_daemon.kill();
        m_daemon.waitForFinished();
    }
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    QString address() const { return m_address; }
    // The test's one connection to it.
    QDBusConnection connection() const { return QDBusConnection::connectToBus(m_address, m_name); }

  private:
    QString m_name;
    QProcess m_daemon;
    QString m_address;
};

} // namespace vt::test
