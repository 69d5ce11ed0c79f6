#include "ReplacingFile.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace vt {

namespace {

constexpr int NameAttempts = 100;

QString randomSuffix() {
    static constexpr char letters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString suffix = QStringLiteral(".");
    for (int i = 0; i < 6; ++i) {
        suffix += QLatin1Char(letters[QRandomGenerator::global()->bounded(62)]);
    }
    return suffix;
}

std::filesystem::path nativePath(const QString& path) {
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

// Whether anything, a link included, has the name.
bool nameTaken(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

bool syncToDisk(QFile& file) {
#ifdef Q_OS_UNIX
    return ::fsync(file.handle()) == 0;
#else
    return true;
#endif
}

} // namespace

ReplacingFile::ReplacingFile(const QString& target) : m_target(target) {}

ReplacingFile::~ReplacingFile() {
    cancelWriting();
}

bool ReplacingFile::fail(const QString& reason) {
    m_error = reason;
    cancelWriting();
    return false;
}

bool ReplacingFile::open() {
    const QFileInfo target(m_target);
    if (target.isDir() && !target.isSymLink()) {
        m_error = QStringLiteral("It is a folder");
        return false;
    }
    // NewOnly creates the name or fails; it never opens what a link points to.
    for (int attempt = 0; attempt < NameAttempts; ++attempt) {
        m_file.setFileName(m_target + randomSuffix());
        if (m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            m_created = true;
            break;
        }
        if (!nameTaken(m_file.fileName())) {
            m_error = m_file.errorString();
            return false;
        }
    }
    if (!m_created) {
        m_error = QStringLiteral("No unused name for a temporary file");
        return false;
    }
    if (target.isFile() && !target.isSymLink()) {
        m_file.setPermissions(target.permissions());
    }
    return true;
}

bool ReplacingFile::commit() {
    if (!m_file.isOpen()) {
        return fail(QStringLiteral("The file is not open"));
    }
    if (!m_file.flush() || !syncToDisk(m_file)) {
        return fail(m_file.errorString());
    }
    m_file.close();
    if (m_file.error() != QFileDevice::NoError) {
        return fail(m_file.errorString());
    }
    std::error_code error;
    std::filesystem::rename(nativePath(m_file.fileName()), nativePath(m_target), error);
    if (error) {
        return fail(QString::fromStdString(error.message()));
    }
    m_created = false;
    return true;
}

void ReplacingFile::cancelWriting() {
    m_file.close();
    if (m_created) {
        QFile::remove(m_file.fileName());
        m_created = false;
    }
}

} // namespace vt
