#include "CutTextFileFSO.h"

#include "PartFiles.h"
#include "core/ErrorReport.h"
#include "core/Failure.h"
#include "core/files/FileUtils.h"
#include "core/ProcedureTags.h"
#include "speech/SpokenLine.h"

#include <QDir>
#include <QFile>
#include <QStringConverter>
#include <QTextStream>
#include <algorithm>
#include <iterator>
#include <memory>

namespace vt {

namespace {

QString fileFailure(const QString& what, const QFile& file) {
    return QStringLiteral("%1 \"%2\": %3")
        .arg(what, QDir::toNativeSeparators(file.fileName()), file.errorString());
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

    void writeLine(QStringView text) {
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

// The steps a report can name; the others cannot fail and have no number.
enum class CutStep {
    OpenInput = 120,
    CreateFirstPart = 130,
    WriteLine = 140,
    CloseFullPart = 150,
    CreateNextPart = 156,
    CloseLastPart = 166
};

// Takes every "&#xa0;" out of the line, in place: one pass, no copy.
void removeEntities(QString& line) {
    static constexpr char16_t entity[] = u"&#xa0;";
    constexpr qsizetype entityLength = std::size(entity) - 1;
    const qsizetype first = line.indexOf(u'&');
    if (first < 0) {
        return;
    }
    const qsizetype length = line.size();
    char16_t* text = reinterpret_cast<char16_t*>(line.data());
    qsizetype kept = first;
    for (qsizetype i = first; i < length;) {
        if (text[i] == u'&' && length - i >= entityLength &&
            std::equal(entity, entity + entityLength, text + i)) {
            i += entityLength;
        } else {
            text[kept++] = text[i++];
        }
    }
    line.truncate(kept);
}

int cutTextFile(const QString& path, int rate, Dialogs& dialogs,
                std::vector<PartLine>* lineStarts) {
    using Step = CutStep;
    Procedure proc(dialogs, tag::CutTextFileFSO);
    // Slow rates make smaller parts; fast ones keep the limits of rate 0.
    const int lineLimit = rate < 0 ? 1300 + 125 * rate : 1300;
    const qint64 sizeLimit = (rate < 0 ? 500 + 45 * rate : 500) * qint64{1024}; // characters

    QFile input(path);
    QTextStream in;
    const bool opened = proc.step(Step::OpenInput, [&] {
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
    const QString extension = QStringLiteral(".txt");
    int index = 1;
    int lineCounter = 1;
    qint64 characterCount = 0;
    PartWriter part;
    proc.step(Step::CreateFirstPart, [&] { part.create(PartFilePath(base, index, extension)); });

    // Both buffers keep their room from line to line.
    QString line;
    QString spoken;
    int partLine = 0; // the physical line of the part file the next line starts on
    while (!in.atEnd()) {
        in.readLineInto(&line);
        removeEntities(line);
        makeSpokenLine(line, spoken);
        // The line feed keeps the line's end for the engine: a sentence that
        // ends the line ends there, a heading pauses, and no two lines fuse.
        if (lineStarts) {
            lineStarts->push_back({index, partLine});
            partLine += 1 + static_cast<int>(spoken.count(u'\n'));
        }
        proc.step(Step::WriteLine, [&] { part.writeLine(spoken); });
        characterCount += spoken.size();
        ++lineCounter;
        if (lineCounter >= lineLimit || characterCount >= sizeLimit) {
            ++index;
            proc.step(Step::CloseFullPart, [&] { part.close(); });
            part.release();
            proc.step(Step::CreateNextPart,
                      [&] { part.create(PartFilePath(base, index, extension)); });
            lineCounter = 1;
            characterCount = 0;
            partLine = 0;
        }
    }
    proc.step(Step::CloseLastPart, [&] { part.close(); });
    part.release();
    input.close();
    DeleteFileQuiet(path);
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
