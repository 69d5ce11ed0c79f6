#include "CutTextFileFSO.h"

#include "PartFiles.h"
#include "core/ErrorReport.h"
#include "core/Failure.h"
#include "core/files/FileUtils.h"
#include "core/ProcedureTags.h"
#include "speech/CleanSpeechText.h"
#include "speech/SpeechCase.h"

#include <QDir>
#include <QFile>
#include <QStringConverter>
#include <QTextStream>
#include <memory>

namespace vt {

namespace {

QString fileFailure(const QString& what, const QFile& file) {
    return QStringLiteral("%1 \"%2\": %3")
        .arg(what, QDir::toNativeSeparators(file.fileName()), file.errorString());
}

// Whether the character at i (a whole surrogate pair counts as one) is an
// upper-case letter, of any script.
bool startsWithCapital(const QString& text, qsizetype i) {
    const char16_t c = text[i].unicode();
    if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
        return QChar::isUpper(QChar::surrogateToUcs4(c, text[i + 1].unicode()));
    }
    return QChar::isUpper(c);
}

// Lower-casing hides a sentence end inside a line from the engine: it reads a
// full stop before a lower-case word as an abbreviation and makes no pause.
// Where the line had an upper-case letter after ". ", the blank becomes a line
// feed, which still ends the sentence. cleaned is original lower-cased and
// cleaned, of the same length.
void keepSentenceEnds(const QString& original, QString& cleaned) {
    const qsizetype length = cleaned.size();
    if (original.size() != length) {
        return; // cannot happen: neither step changes the length
    }
    for (qsizetype dot = cleaned.indexOf(u'.'); dot >= 0 && dot + 1 < length;
         dot = cleaned.indexOf(u'.', dot + 1)) {
        if (cleaned[dot + 1] != u' ') {
            continue;
        }
        qsizetype next = dot + 1;
        while (next < length && cleaned[next] == u' ') {
            ++next;
        }
        if (next < length && startsWithCapital(original, next)) {
            cleaned[dot + 1] = u'\n';
        }
    }
}

// One part file being written.
class PartWriter {
  public:
    void create(const QString& path) {
        m_file = std::make_unique<QFile>(path);
        m_stream.reset();
        m_reported = false;
        if (!m_file->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            throw Failure(fileFailure(QStringLiteral("Cannot create"), *m_file));
        }
        m_stream = std::make_unique<QTextStream>(m_file.get());
        m_stream->setEncoding(QStringConverter::Utf8);
    }

    void writeLine(const QString& text) {
        if (!m_stream) {
            throw Failure(QStringLiteral("Object variable not set: no part file is open"));
        }
        *m_stream << text << QChar(u'\n');
        // A full disk shows once per part, not once for every line after it.
        if (m_stream->status() != QTextStream::Ok && !m_reported) {
            m_reported = true;
            throw Failure(fileFailure(QStringLiteral("Cannot write"), *m_file));
        }
    }

    void close() {
        if (!m_stream) {
            throw Failure(QStringLiteral("Object variable not set: no part file is open"));
        }
        m_stream->flush();
        const bool written = m_stream->status() == QTextStream::Ok && m_file->flush();
        m_stream.reset();
        m_file->close();
        if (!written && !m_reported) {
            throw Failure(fileFailure(QStringLiteral("Cannot write"), *m_file));
        }
    }

    void release() {
        m_stream.reset();
        m_file.reset();
    }

  private:
    std::unique_ptr<QFile> m_file;
    std::unique_ptr<QTextStream> m_stream;
    bool m_reported = false;
};

} // namespace

namespace {

int cutTextFile(const QString& path, int rate, Dialogs& dialogs,
                std::vector<PartLine>* lineStarts) {
    Procedure proc(dialogs, tag::CutTextFileFSO);
    int lineLimit = 0;
    qint64 sizeLimit = 0; // in units of 1024 characters
    if (proc.test(100, [&] { return rate < 0; })) {
        proc.step(102, [&] { lineLimit = 1300 + 125 * rate; });
        proc.step(104, [&] { sizeLimit = 500 + 45 * rate; });
    } else {
        proc.step(106, [&] { lineLimit = 1300; });
        proc.step(108, [&] { sizeLimit = 500; });
    }

    QFile input(path);
    QTextStream in;
    const bool opened = proc.step(120, [&] {
        if (!input.open(QIODevice::ReadOnly)) {
            throw Failure(fileFailure(QStringLiteral("Cannot open"), input));
        }
        in.setDevice(&input);
        in.setEncoding(QStringConverter::Utf8);
    });
    if (!opened) {
        return 0;
    }

    const QString base = StripExtension(path);
    const QString entity = QStringLiteral("&#xa0;");
    int index = 0;
    int lineCounter = 0;
    qint64 characterCount = 0;
    QString partName;
    PartWriter part;
    proc.step(122, [&] { index = 1; });
    proc.step(124, [&] { lineCounter = 1; });
    proc.step(126, [&] { characterCount = 0; });
    proc.step(128, [&] { partName = PartFilePath(base, index, QStringLiteral(".txt")); });
    proc.step(130, [&] { part.create(partName); });

    QString line;
    int partLine = 0; // the physical line of the part file the next line starts on
    while (proc.test(136, [&] { return !in.atEnd(); })) {
        proc.step(138, [&] {
            line = in.readLine();
            if (line.contains(u'&')) {
                line.remove(entity, Qt::CaseSensitive);
            }
            // Only a line with a full stop needs its original case kept.
            const QString original = line.contains(u'.') ? line : QString();
            lowerOrdinaryWords(line);
            line = CleanSpeechText(line);
            if (!original.isEmpty()) {
                keepSentenceEnds(original, line);
            }
        });
        // The line feed keeps the line's end for the engine: a sentence that
        // ends the line ends there, a heading pauses, and no two lines fuse.
        if (lineStarts) {
            lineStarts->push_back({index, partLine});
            partLine += 1 + static_cast<int>(line.count(u'\n'));
        }
        proc.step(140, [&] { part.writeLine(line); });
        proc.step(142, [&] { characterCount += line.size(); });
        proc.step(144, [&] { ++lineCounter; });
        if (proc.test(146, [&] {
                return !(lineCounter < lineLimit && characterCount < sizeLimit * 1024);
            })) {
            proc.step(148, [&] { ++index; });
            proc.step(150, [&] { part.close(); });
            proc.step(152, [&] { part.release(); });
            proc.step(154, [&] { partName = PartFilePath(base, index, QStringLiteral(".txt")); });
            proc.step(156, [&] { part.create(partName); });
            proc.step(162, [&] { lineCounter = 1; });
            proc.step(164, [&] { characterCount = 0; });
            partLine = 0;
        }
    }
    proc.step(166, [&] { part.close(); });
    proc.step(168, [&] { part.release(); });
    proc.step(172, [&] { input.close(); });
    proc.step(176, [&] { DeleteFileQuiet(path); });
    return index;
}

} // namespace

int CutTextFileFSO(const QString& path, int rate, Dialogs& dialogs) {
    return cutTextFile(path, rate, dialogs, nullptr);
}

int CutTextFileFSO(const QString& path, int rate, Dialogs& dialogs,
                   std::vector<PartLine>& lineStarts) {
    lineStarts.clear();
    return cutTextFile(path, rate, dialogs, &lineStarts);
}

} // namespace vt
