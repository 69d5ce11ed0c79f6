#include "ExportTestSupport.h"

#include "core/files/TempFolders.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <cmath>
#include <numbers>
#include <unistd.h>

namespace vt::test {

namespace {
constexpr int SampleRate = 22050;
}

void writeToneWav(const QString& path, double seconds) {
    const auto samples = static_cast<quint32>(seconds * SampleRate);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return;
    }
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    const quint32 dataBytes = samples * 2;
    out.writeRawData("RIFF", 4);
    out << quint32(36 + dataBytes);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << quint32(SampleRate) << quint32(SampleRate * 2)
        << quint16(2) << quint16(16);
    out.writeRawData("data", 4);
    out << dataBytes;
    for (quint32 i = 0; i < samples; ++i) {
        const double t = static_cast<double>(i) / SampleRate;
        out << static_cast<qint16>(8000 * std::sin(2 * std::numbers::pi * 440 * t));
    }
}

double wavSeconds(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return -1;
    }
    QDataStream in(&file);
    in.setByteOrder(QDataStream::LittleEndian);
    char id[5] = {};
    quint32 size = 0;
    in.readRawData(id, 4);
    in >> size;
    in.readRawData(id, 4);
    quint32 byteRate = 0;
    while (!in.atEnd()) {
        in.readRawData(id, 4);
        in >> size;
        if (qstrcmp(id, "fmt ") == 0) {
            quint16 format = 0, channels = 0;
            quint32 rate = 0;
            in >> format >> channels >> rate >> byteRate;
            in.skipRawData(static_cast<int>(size) - 12);
        } else if (qstrcmp(id, "data") == 0) {
            // A header written before the length was known may say 0 or too much.
            const qint64 available = file.size() - file.pos();
            const qint64 bytes = size == 0 || size > available ? available : size;
            return byteRate == 0 ? -1 : static_cast<double>(bytes) / byteRate;
        } else {
            in.skipRawData(static_cast<int>(size + (size & 1)));
        }
    }
    return -1;
}

DecodedMp3 decodeMp3(const QString& path) {
    DecodedMp3 result;
    QProcess decoder;
    decoder.start(QStringLiteral("mpg123"), {QStringLiteral("-s"), path});
    if (!decoder.waitForStarted()) {
        return result;
    }
    // Count the samples as they come rather than holding an hour of audio.
    qint64 sampleBytes = 0;
    while (decoder.state() != QProcess::NotRunning || decoder.bytesAvailable() > 0) {
        decoder.waitForReadyRead(1000);
        sampleBytes += decoder.readAllStandardOutput().size();
    }
    const QString log = QString::fromLocal8Bit(decoder.readAllStandardError());
    const auto format = QRegularExpression(QStringLiteral("(\\d+) mono")).match(log);
    result.sampleRate = format.hasMatch() ? format.captured(1).toInt() : 0;
    result.ok = decoder.exitCode() == 0 && result.sampleRate > 0;
    result.seconds =
        result.sampleRate > 0 ? static_cast<double>(sampleBytes) / 2.0 / result.sampleRate : 0;
    for (const QString& line : log.split(u'\n')) {
        if (line.contains(QRegularExpression(QStringLiteral("warn|illegal|resync|error|junk"),
                                             QRegularExpression::CaseInsensitiveOption))) {
            result.warnings += line + u'\n';
        }
    }
    return result;
}

QStringList leftoverJobFolders() {
    return QDir(temporaryRoot())
        .entryList({QStringLiteral("vellumtone-*")}, QDir::Dirs | QDir::NoDotAndDotDot);
}

QString makeScriptFolder(const QString& parent, const QString& name, const QByteArray& body) {
    const QString folder = QDir(parent).filePath(QStringLiteral("bin-") + name);
    QDir().mkpath(folder);
    QFile script(QDir(folder).filePath(name));
    if (script.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        script.write("#!/bin/sh\n" + body);
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    return folder;
}

int runningChildren(const QString& programName) {
    int count = 0;
    const QString me = QString::number(getpid());
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly)) {
            continue;
        }
        // pid (comm) state ppid ...
        const QString text = QString::fromLocal8Bit(stat.readAll());
        const qsizetype open = text.indexOf(u'(');
        const qsizetype close = text.lastIndexOf(u')');
        if (open < 0 || close < open) {
            continue;
        }
        const QString comm = text.mid(open + 1, close - open - 1);
        const QStringList rest = text.mid(close + 2).split(u' ');
        if (comm == programName && rest.size() > 1 && rest.at(1) == me && rest.at(0) != "Z") {
            ++count;
        }
    }
    return count;
}

ScopedPath::ScopedPath(const QString& path) : m_saved(qgetenv("PATH")) {
    qputenv("PATH", QFile::encodeName(path));
}

ScopedPath::~ScopedPath() {
    qputenv("PATH", m_saved);
}

} // namespace vt::test
