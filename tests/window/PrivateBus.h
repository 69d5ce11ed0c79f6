#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QString>

namespace vt::test {

// A session bus of the test's own (dbus-daemon), gone with the object.
class PrivateBus {
  public:
    PrivateBus() {
        m_daemon.start("dbus-daemon",
                       {"--session", "--nofork", "--nopidfile", "--print-address=1"});
        if (m_daemon.waitForStarted() && m_daemon.waitForReadyRead(10000)) {
            m_address = QString::fromLatin1(m_daemon.readLine().trimmed());
        }
    }
    ~PrivateBus() {
        QDBusConnection::disconnectFromBus(QStringLiteral("vt-mpris-test"));
        m_daemon.kill();
        m_daemon.waitForFinished();
    }
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    QString address() const { return m_address; }
    QDBusConnection connection() const {
        return QDBusConnection::connectToBus(m_address, QStringLiteral("vt-mpris-test"));
    }

  private:
    QProcess m_daemon;
    QString m_address;
};

} // namespace vt::test
