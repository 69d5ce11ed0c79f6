#pragma once

#include "core/Failure.h"

#include <QString>
#include <QStringList>
#include <stop_token>

class QIODevice;

namespace vt {

// A write the target refused; the description is the target's reason.
class WriteRefusedFailure : public Failure {
  public:
    using Failure::Failure;
};

// Copies the files, in the order given, one after another into out. Throws
// Failure when a file cannot be read, WriteRefusedFailure when out refuses a
// write; stops early (and returns false) when a stop is requested.
bool AppendFiles(const QStringList& files, QIODevice& out, std::stop_token cancel = {});

// Replaces target, atomically, by the files' bytes one after another: until
// the last byte is safely written the old target (if any) stays as it was, and a
// failure or a cancel leaves no partial file. A symbolic link at target is
// replaced, not followed. Returns true when target was
// written, false when cancelled; throws Failure, DiskFullFailure when the disk
// is full. leadingBytes (a tag) go in front of the files' bytes.
bool JoinFilesAtomically(const QStringList& files, const QString& target,
                         std::stop_token cancel = {},
                         const QByteArray& leadingBytes = QByteArray());

// True when the volume holding path has less than `needed` bytes left (used to
// tell a full disk from other write failures).
bool DiskIsFull(const QString& path, qint64 needed);

} // namespace vt
