#include "MprisService.h"

#include "MprisAdaptors.h"
#include "window/form/Form1.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QPushButton>
#include <QSlider>
#include <tuple>

namespace vt {

namespace {
constexpr char PropertiesInterface[] = "org.freedesktop.DBus.Properties";
constexpr char PlayerInterface[] = "org.mpris.MediaPlayer2.Player";
} // namespace

MprisService::MprisService(Form1& window, QDBusConnection bus)
    : m_window(window), m_bus(std::move(bus)) {
    if (!m_bus.isConnected()) {
        return; // no desktop bus: the program runs as it always did
    }
    new MprisRootAdaptor(this);
    new MprisPlayerAdaptor(this);
    if (!m_bus.registerObject(QString::fromLatin1(MprisObjectPath), this,
                              QDBusConnection::ExportAdaptors)) {
        return;
    }
    // A second running copy takes the name MPRIS gives additional instances.
    const QString name = QString::fromLatin1(MprisBusName);
    const QString instanceName =
        name + QStringLiteral(".instance%1").arg(QCoreApplication::applicationPid());
    for (const QString& candidate : {name, instanceName}) {
        if (m_bus.registerService(candidate)) {
            m_busName = candidate;
            break;
        }
    }
    if (m_busName.isEmpty()) {
        m_bus.unregisterObject(QString::fromLatin1(MprisObjectPath));
        return;
    }
    m_lastStatus = playbackStatus();
    m_lastMetadata = metadata();
    m_lastCanGoNext = canGoNext();
    m_lastCanGoPrevious = canGoPrevious();
    connect(&m_window.reading(), &ReadingController::changed, this, &MprisService::readingChanged);
}

MprisService::~MprisService() {
    if (isRegistered()) {
        m_bus.unregisterService(m_busName);
        m_bus.unregisterObject(QString::fromLatin1(MprisObjectPath));
    }
}

QString MprisService::playbackStatus() const {
    switch (m_window.readingState()) {
    case ReadingController::State::Idle:
        return QStringLiteral("Stopped");
    case ReadingController::State::Paused:
        return QStringLiteral("Paused");
    case ReadingController::State::Fetching: // the button already offers "Pause"
    case ReadingController::State::Speaking:
        break;
    }
    return QStringLiteral("Playing");
}

QVariantMap MprisService::metadata() const {
    const ReadingController& reading = m_window.reading();
    if (reading.state() == ReadingController::State::Idle) {
        return {};
    }
    const QString address = reading.readingAddress();
    const QString title = reading.readingTitle();
    QVariantMap map;
    map.insert(QStringLiteral("mpris:trackid"),
               QVariant::fromValue(QDBusObjectPath(
                   QStringLiteral("/example/quillmere/Vellumtone/reading/%1").arg(m_readings))));
    map.insert(QStringLiteral("xesam:title"), title.isEmpty() ? address : title);
    map.insert(QStringLiteral("xesam:url"), address);
    const QString section = reading.sectionTitle();
    if (!section.isEmpty()) {
        map.insert(QStringLiteral("vellumtone:section"), section);
    }
    return map;
}

double MprisService::volume() const {
    return m_window.Slider1->value() / 100.0;
}

bool MprisService::canGoNext() const {
    return m_window.reading().canGoNext();
}

bool MprisService::canGoPrevious() const {
    return m_window.reading().canGoPrevious();
}

void MprisService::next() {
    m_window.reading().nextSection();
}

void MprisService::previous() {
    m_window.reading().previousSection();
}

void MprisService::play() {
    if (m_window.readingState() != ReadingController::State::Speaking &&
        m_window.readingState() != ReadingController::State::Fetching) {
        m_window.PushButton2->click();
    }
}

void MprisService::pause() {
    if (m_window.readingState() == ReadingController::State::Speaking ||
        m_window.readingState() == ReadingController::State::Fetching) {
        m_window.PushButton2->click();
    }
}

void MprisService::playPause() {
    m_window.PushButton2->click();
}

void MprisService::stop() {
    m_window.stopReading();
}

void MprisService::raise() {
    m_window.showNormal();
    m_window.raise();
    m_window.activateWindow();
}

void MprisService::quit() {
    m_window.close();
}

bool MprisService::refuse() {
    if (!m_window.reading().showingMessage()) {
        return false;
    }
    if (calledFromDBus()) {
        sendErrorReply(
            QString::fromLatin1(MessageOpenError),
            QStringLiteral("A message of the reading is open; it must be answered first."));
    }
    return true;
}

void MprisService::readingChanged() {
    if (m_window.readingState() == ReadingController::State::Fetching) {
        ++m_readings; // a new reading has begun
    }
    QVariantMap changed;
    const QString status = playbackStatus();
    if (status != m_lastStatus) {
        m_lastStatus = status;
        changed.insert(QStringLiteral("PlaybackStatus"), status);
    }
    const QVariantMap data = metadata();
    if (data != m_lastMetadata) {
        m_lastMetadata = data;
        changed.insert(QStringLiteral("Metadata"), data);
    }
    for (const auto& [name, now, last] :
         {std::tuple{"CanGoNext", canGoNext(), &m_lastCanGoNext},
          std::tuple{"CanGoPrevious", canGoPrevious(), &m_lastCanGoPrevious}}) {
        if (now != *last) {
            *last = now;
            changed.insert(QString::fromLatin1(name), now);
        }
    }
    if (!changed.isEmpty()) {
        announce(changed);
    }
}

void MprisService::announce(const QVariantMap& changed) {
    QDBusMessage signal = QDBusMessage::createSignal(QString::fromLatin1(MprisObjectPath),
                                                     QString::fromLatin1(PropertiesInterface),
                                                     QStringLiteral("PropertiesChanged"));
    signal << QString::fromLatin1(PlayerInterface) << changed << QStringList();
    m_bus.send(signal);
}

MprisRootAdaptor::MprisRootAdaptor(MprisService* service)
    : QDBusAbstractAdaptor(service), m_service(service) {}

QString MprisRootAdaptor::identity() const {
    return QStringLiteral("Vellumtone");
}
QString MprisRootAdaptor::desktopEntry() const {
    return QString::fromLatin1(DesktopEntryName);
}

MprisPlayerAdaptor::MprisPlayerAdaptor(MprisService* service)
    : QDBusAbstractAdaptor(service), m_service(service) {}

void MprisPlayerAdaptor::unlessRefused(void (MprisService::*command)()) {
    if (!m_service->refuse()) {
        (m_service->*command)();
    }
}

} // namespace vt
