#include "VoicePreflight.h"

#include "VoiceFailures.h"

#include <QFile>
#include <QFileInfo>

namespace vt {

namespace {

struct VoiceFileFacts {
    QString name;
    QByteArray dictionary;
};

// The engine names a voice's dictionary after its first language, up to the
// first "-", unless the voice file names one of its own.
VoiceFileFacts readVoiceFile(QFile& file) {
    VoiceFileFacts facts;
    bool dictionaryNamed = false;
    while (!file.atEnd()) {
        QByteArray line = file.readLine();
        const qsizetype comment = line.indexOf("//");
        if (comment >= 0) {
            line.truncate(comment);
        }
        const QList<QByteArray> words = line.simplified().split(' ');
        if (words.size() < 2) {
            continue;
        }
        const QByteArray& keyword = words[0];
        if (keyword == "name" && facts.name.isEmpty()) {
            facts.name = QString::fromUtf8(line.simplified().mid(5));
        } else if (keyword == "language" && facts.dictionary.isEmpty() && !dictionaryNamed) {
            facts.dictionary = words[1].split('-').first();
        } else if (keyword == "dictionary") {
            facts.dictionary = words[1];
            dictionaryNamed = true;
        }
    }
    return facts;
}

} // namespace

void checkVoiceCanRun(const QString& dataFolder, const QByteArray& identifier) {
    const QString id = QString::fromUtf8(identifier);
    QString path = dataFolder + QStringLiteral("/lang/") + id;
    if (!QFileInfo(path).isFile()) {
        path = dataFolder + QStringLiteral("/voices/") + id;
    }
    QFile file(path);
    if (id.isEmpty() || id.contains(QStringLiteral("..")) || !file.open(QIODevice::ReadOnly)) {
        throw VoiceUnavailable(
            QStringLiteral("The voice \"%1\" cannot be started: its voice file is missing from %2.")
                .arg(id, dataFolder));
    }
    const VoiceFileFacts facts = readVoiceFile(file);
    const QString name = facts.name.isEmpty() ? id : facts.name;
    if (facts.dictionary.isEmpty()) {
        throw VoiceUnavailable(
            QStringLiteral("The voice \"%1\" cannot be started: its voice file names no language.")
                .arg(name));
    }
    const QString dictionary = QString::fromUtf8(facts.dictionary) + QStringLiteral("_dict");
    if (!QFileInfo(dataFolder + QLatin1Char('/') + dictionary).isFile()) {
        throw VoiceUnavailable(QStringLiteral("The voice \"%1\" cannot be started: its "
                                              "dictionary %2 is missing from %3.")
                                   .arg(name, dictionary, dataFolder));
    }
}

} // namespace vt
