#include "AudioServer.h"

#include "support/TestEnvironment.h"

#include <cstring>
#include <unistd.h>

namespace vt::test {

namespace {

constexpr char NullSink[] = "vellumtone_null";

struct ServerState {
    bool prepared = false;
    bool available = false;
    QString reason;
    QString privateFolder; // set when this process started the server
};
ServerState state;

QString script() {
    return QStringLiteral(VT_TEST_AUDIO_SCRIPT);
}

// Runs the script; the PULSE_SERVER value it prints, or "".
QString runScript(const QStringList& arguments, QString* errors) {
    QProcess process;
    process.start(script(), arguments);
    if (!process.waitForFinished(20000) || process.exitCode() != 0) {
        *errors = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
        if (errors->isEmpty()) {
            *errors = script() + " failed";
        }
        return {};
    }
    for (const QByteArray& line : process.readAllStandardOutput().split('\n')) {
        if (line.startsWith("PULSE_SERVER=")) {
            return QString::fromLocal8Bit(
                line.mid(static_cast<qsizetype>(std::strlen("PULSE_SERVER="))));
        }
    }
    *errors = "the script printed no PULSE_SERVER line";
    return {};
}

bool answers(const QString& server) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("PULSE_SERVER", server);
    process.setProcessEnvironment(env);
    process.start("pactl", {"list", "short", "sinks"});
    return process.waitForFinished(10000) && process.exitCode() == 0 &&
           process.readAllStandardOutput().contains(NullSink);
}

} // namespace

void AudioServer::prepare() {
    if (state.prepared) {
        return;
    }
    state.prepared = true;
    QString errors;
    const QString folder = sandboxFolder() + "/pulse";
    QString server = runScript({"start", "--no-settle", folder}, &errors);
    if (!server.isEmpty()) {
        state.privateFolder = folder;
    } else {
        const QString shared = QString("unix:/tmp/vellumtone-pulse-%1/native")
                                   .arg(static_cast<qulonglong>(::getuid()));
        for (const QString& candidate : {qEnvironmentVariable("PULSE_SERVER"), shared}) {
            if (!candidate.isEmpty() && answers(candidate)) {
                server = candidate;
                break;
            }
        }
    }
    if (server.isEmpty() || !answers(server)) {
        state.reason = errors.isEmpty() ? "no server answers" : errors;
        return;
    }
    qputenv("PULSE_SERVER", server.toLocal8Bit());
    state.available = true;
}

void AudioServer::shutdown() {
    if (!state.privateFolder.isEmpty()) {
        QProcess::execute(script(), {"stop", state.privateFolder});
        state.privateFolder.clear();
    }
}

bool AudioServer::available() {
    prepare();
    return state.available;
}
QString AudioServer::unavailableReason() {
    return state.reason;
}
bool AudioServer::startedHere() {
    return !state.privateFolder.isEmpty();
}

QString AudioServer::monitorSource() {
    return QString(NullSink) + ".monitor";
}

MonitorRecorder::MonitorRecorder() {
    QObject::connect(&m_process, &QProcess::readyReadStandardOutput, [this] { take(); });
}

MonitorRecorder::~MonitorRecorder() {
    stop();
}

bool MonitorRecorder::start() {
    m_process.start("parec", {"--device=" + AudioServer::monitorSource(), "--format=s16le",
                              "--rate=22050", "--channels=1", "--latency-msec=20", "--raw"});
    return m_process.waitForStarted(5000);
}

void MonitorRecorder::stop() {
    if (m_process.state() != QProcess::NotRunning) {
        take();
        m_process.terminate();
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }
}

void MonitorRecorder::take() {
    m_pending += m_process.readAllStandardOutput();
    const qsizetype whole = m_pending.size() / 2;
    const auto* p = reinterpret_cast<const qint16*>(m_pending.constData());
    m_samples.insert(m_samples.end(), p, p + whole);
    m_pending.remove(0, whole * 2);
}

const std::vector<qint16>& MonitorRecorder::samples() {
    take();
    return m_samples;
}

} // namespace vt::test
