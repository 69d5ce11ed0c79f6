#include "JoinFiles.h"

#include "ReplacingFile.h"
#include "core/Failure.h"
#include "core/files/FileUtils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

namespace vt {

namespace {

constexpr qint64 CopyBlockBytes = 1 << 20;
// A volume with less than this left is called full after a failed write.
constexpr qint64 FullDiskMarginBytes = 1 << 20;

qint64 totalSize(const QStringList& files) {
    qint64 total = 0;
    for (const QString& file : files) {
        total += QFileInfo(file).size();
    }
    return total;
}

[[noreturn]] void throwWriteFailure(const QString& target, const QString& reason, qint64 needed) {
    if (DiskIsFull(QFileInfo(target).absolutePath(), needed)) {
        throw DiskFullFailure(QStringLiteral("The disk is full: \"%1\" could not be written (%2).")
                                  .arg(nativePath(target), reason));
    }
    throw Failure(
        QStringLiteral("\"%1\" could not be written: %2").arg(nativePath(target), reason));
}

// A short write (the disk filling up in the middle of a block) is followed by
// another, which then fails with the reason.
void writeWhole(QIODevice& out, const QByteArray& block) {
    qint64 written = 0;
    while (written < block.size()) {
        const qint64 count = out.write(block.constData() + written, block.size() - written);
        if (count <= 0) {
            throw WriteRefusedFailure(out.errorString());
        }
        written += count;
    }
}

} // namespace

bool DiskIsFull(const QString& path, qint64 needed) {
    const QStorageInfo volume(path);
    return volume.isValid() && volume.bytesAvailable() < qMax(needed, FullDiskMarginBytes);
}

bool AppendFiles(const QStringList& files, QIODevice& out, std::stop_token cancel) {
    QByteArray block;
    for (const QString& path : files) {
        QFile in(path);
        if (!in.open(QIODevice::ReadOnly)) {
            throw Failure(QStringLiteral("\"%1\" could not be read: %2")
                              .arg(nativePath(path), in.errorString()));
        }
        while (!in.atEnd()) {
            if (cancel.stop_requested()) {
                return false;
            }
            block = in.read(CopyBlockBytes);
            if (block.isEmpty() && in.error() != QFileDevice::NoError) {
                throw Failure(QStringLiteral("\"%1\" could not be read: %2")
                                  .arg(nativePath(path), in.errorString()));
            }
            writeWhole(out, block);
        }
    }
    return true;
}

bool JoinFilesAtomically(const QStringList& files, const QString& target, std::stop_token cancel,
                         const QByteArray& leadingBytes) {
    const qint64 needed = totalSize(files) + leadingBytes.size();
    ReplacingFile out(target);
    if (!out.open()) {
        throwWriteFailure(target, out.errorString(), needed);
    }
    bool complete = false;
    try {
        writeWhole(out.device(), leadingBytes);
        complete = AppendFiles(files, out.device(), cancel);
    } catch (const WriteRefusedFailure& failure) {
        out.cancelWriting();
        throwWriteFailure(target, failure.description(), needed);
    } catch (const Failure&) {
        out.cancelWriting(); // a part could not be read; its failure names it
        throw;
    }
    if (!complete) {
        out.cancelWriting();
        return false;
    }
    if (!out.commit()) {
        throwWriteFailure(target, out.errorString(), needed);
    }
    return true;
}

} // namespace vt
