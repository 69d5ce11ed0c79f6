#include "FileUtils.h"

#include "core/ErrorReport.h"
#include "core/Failure.h"
#include "core/NumberText.h"
#include "core/ProcedureTags.h"
#include "core/TextCodec.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <memory>
#include <optional>

namespace vt {

QString nativePath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString fileError(const QString& what, const QString& path, const QString& reason) {
    return QStringLiteral("%1 \"%2\": %3").arg(what, nativePath(path), reason);
}

namespace {

// The steps of ReadFileToStringFSO that can fail, numbered as its reports show them.
enum class ReadStep { FindFile = 102, OpenAndDecode = 104, TestEmpty = 108, CloseFile = 122 };

} // namespace

QStringList ReadFileToStringFSO(const QString& path, Dialogs& dialogs) {
    Procedure proc(dialogs, tag::ReadFileToStringFSO);
    std::unique_ptr<QFile> file;
    std::optional<QString> text; // the decoded stream, once opened

    proc.step(ReadStep::FindFile, [&] {
        const QFileInfo info(path);
        if (path.isEmpty() || !info.exists() || info.isDir()) {
            throw Failure(
                fileError(QStringLiteral("File not found"), path, QStringLiteral("no such file")));
        }
        file = std::make_unique<QFile>(path);
    });
    proc.step(ReadStep::OpenAndDecode, [&] {
        if (!file || !file->open(QIODevice::ReadOnly)) {
            throw Failure(fileError(QStringLiteral("Cannot open"), path,
                                    file ? file->errorString() : QStringLiteral("no file")));
        }
        const QByteArray bytes = file->readAll();
        if (file->error() != QFileDevice::NoError) {
            throw Failure(fileError(QStringLiteral("Cannot read"), path, file->errorString()));
        }
        text = decodeTextFile(bytes);
    });
    // A file that could not be opened fails this test, which then counts as
    // taken: the result is one empty chunk.
    const bool empty = proc.test(ReadStep::TestEmpty, [&] {
        if (!text) {
            throw Failure(QStringLiteral("Object variable not set: the file is not open"));
        }
        return text->isEmpty();
    });
    QStringList chunks;
    if (empty) {
        chunks = QStringList{QString()};
    } else {
        for (qsizetype position = 0; position < text->size(); position += ReadChunkLength) {
            chunks.append(text->mid(position, ReadChunkLength));
        }
    }
    proc.step(ReadStep::CloseFile, [&] {
        if (!file || !file->isOpen()) {
            throw Failure(QStringLiteral("Object variable not set: the file is not open"));
        }
        file->close();
    });
    return chunks;
}

namespace {

// Creates the file (opened with mode besides WriteOnly) and writes all of bytes.
// A file that could not be written whole is removed: no part of it is left.
void writeNewFile(const QByteArray& bytes, const QString& path, QIODevice::OpenMode mode) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | mode)) {
        throw Failure(fileError(QStringLiteral("Cannot create"), path, file.errorString()));
    }
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.close();
        file.remove();
        throw Failure(fileError(QStringLiteral("Cannot write"), path, reason));
    }
}

void replaceFileWith(const QByteArray& bytes, const QString& path) {
    if (QFileInfo::exists(path) && !QFileInfo(path).isDir()) {
        if (!QFile::remove(path)) {
            throw Failure(fileError(QStringLiteral("Permission denied"), path,
                                    QStringLiteral("the file could not be replaced")));
        }
    }
    writeNewFile(bytes, path, QIODevice::Truncate);
}

} // namespace

void WriteTextToFile(const QString& text, const QString& path) {
    replaceFileWith(encodeTextFile(text), path);
}

void WriteJobTextFile(const QString& text, const QString& path) {
    replaceFileWith(text.toUtf8(), path);
}

void WriteBytesToFile(const QByteArray& bytes, const QString& path) {
    if (FileExists(path)) {
        return;
    }
    writeNewFile(bytes, path, QIODevice::NewOnly);
}

void DeleteFileQuiet(const QString& path) {
    if (!path.isEmpty() && !QFileInfo(path).isDir()) {
        QFile::remove(path);
    }
}

bool FileExists(const QString& path) {
    if (path.isEmpty()) {
        return false;
    }
    const QFileInfo info(path);
    return info.exists() && info.lastModified().isValid();
}

bool FolderExists(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isDir();
}

QString StripExtension(const QString& path) {
    if (path.isEmpty()) {
        return path;
    }
    const qsizetype dot = path.lastIndexOf(u'.'); // 0-based
    return dot > 0 ? path.left(dot) : path;
}

QStringList SplitByLength(QString& text, qsizetype size) {
    if (size <= 0) {
        throw Failure(QStringLiteral("Division by zero"));
    }
    const int count =
        roundHalfEven(static_cast<double>(text.size()) / static_cast<double>(size) + 1.0);
    QStringList pieces;
    pieces.reserve(count);
    qsizetype start = 0;
    for (int k = 0; k < count; ++k) {
        pieces.append(text.mid(start, size));
        start = qMin(text.size(), start + size);
    }
    text.clear();
    return pieces;
}

QString GetSpecialFolder(int folderNumber) {
    if (folderNumber != DesktopFolderNumber) {
        return QString();
    }
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
}

QString GetDesktopFolder() {
    const QString folder = GetSpecialFolder(DesktopFolderNumber);
    if (folder.isEmpty()) {
        throw Failure(QStringLiteral("The desktop folder could not be found"));
    }
    return withTrailingSeparator(QDir::toNativeSeparators(folder));
}

QString DefaultOutputFolder() {
    const QString desktop = GetSpecialFolder(DesktopFolderNumber);
    const QString folder =
        !desktop.isEmpty() && QFileInfo(desktop).isDir() ? desktop : QDir::homePath();
    return withTrailingSeparator(QDir::toNativeSeparators(folder));
}

QString ApplicationFolder() {
    return QCoreApplication::applicationDirPath();
}

QString withTrailingSeparator(const QString& folder) {
    const QString separator = QDir::separator();
    return folder.endsWith(separator) ? folder : folder + separator;
}

} // namespace vt
