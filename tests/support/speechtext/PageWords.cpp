#include "PageWords.h"

#include "core/Dialogs.h"
#include "core/TextCodec.h"
#include "core/files/TempFolders.h"
#include "export/CutTextFileFSO.h"
#include "export/PartFiles.h"
#include "sources/reader/GetPageText.h"
#include "speech/synthesis/TextChunker.h"
#include "support/speechtext/PhonemeEngine.h"

#include <QFile>
#include <QRegularExpression>
#include <future>
#include <vector>

namespace vt::test {

namespace {

QString readPart(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QString();
    }
    // The renderer's own rule for a text file.
    return decodeTextFile(file.readAll());
}

// Counts what the splitter shows; every question is answered No.
class CountingDialogs final : public Dialogs {
  public:
    bool message(MessageKind, const QString&) override { return ++shown, false; }
    QString chooseFile(FileDialogKind, const FileDialogRequest&) override { return QString(); }
    QString browseForFolder(const QString&, const QString&) override { return QString(); }
    bool openUrl(const QString&) override { return false; }
    int shown = 0;
};

bool isWordCharacter(QChar c) {
    return c.isLetterOrNumber() || c.isMark() || c.isSurrogate();
}

// Punctuation and signs of the page's code page other than those that end or
// part a sentence (. , ; ! ?) are decoration; a character outside it the
// splitter leaves alone, so eSpeak NG reads it in both texts.
bool isDecoration(char16_t c) {
    if (c < 0x80 ? QStringView(u".,;!?").contains(QChar(c)) : windows1252Code(c) < 0) {
        return false;
    }
    const QChar character(c);
    return character.isPunct() || character.isSymbol() || (c < 0x20 && c != u'\n');
}

bool isWordSymbol(char16_t c) {
    return QStringView(u"%$\u20ac\u00a3\u00a5&@+#=").contains(QChar(c));
}

} // namespace

ExportedSpeech exportedSpeechOf(const QString& address, int rate) {
    return std::async(std::launch::async,
                      [&] {
                          ExportedSpeech speech;
                          PrivateFolder folder;
                          try {
                              speech.rendered = GetPageText(address, folder.path(), {});
                          } catch (const std::exception& e) {
                              speech.failure = QString::fromUtf8(e.what());
                              return speech;
                          }
                          CountingDialogs dialogs;
                          const QString textFile = pageTextFilePath(folder.path());
                          const int parts = CutTextFileFSO(textFile, rate, dialogs);
                          if (parts == 0 || dialogs.shown != 0) {
                              speech.failure = QStringLiteral("the page text file was not cut");
                              return speech;
                          }
                          const QString base = textFile.left(textFile.lastIndexOf(u'.'));
                          for (int part = 1; part <= parts; ++part) {
                              const QString text =
                                  readPart(PartFilePath(base, part, QStringLiteral(".txt")));
                              for (const SpeechChunk& chunk : chunkForSpeech(text)) {
                                  speech.pieces.append(chunk.text.toString());
                              }
                          }
                          return speech;
                      })
        .get();
}

QStringList phonemeWords(PhonemeEngine& engine, const QStringList& texts,
                         const QByteArray& voiceIdentifier) {
    static const QRegularExpression pause(QStringLiteral("_[:!]?"));
    QStringList words;
    for (const QString& text : texts) {
        const QString transcript = engine.phonemes(text, voiceIdentifier);
        for (QString word :
             transcript.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts)) {
            word.remove(pause);
            if (!word.isEmpty()) {
                words.append(word);
            }
        }
    }
    return words;
}

QString withoutDecoration(const QString& text) {
    QString result = text;
    const qsizetype length = text.size();
    auto wordAt = [&](qsizetype i) { return i >= 0 && i < length && isWordCharacter(text[i]); };
    auto letterAt = [&](qsizetype i) {
        return i >= 0 && i < length && (text[i].isLetter() || text[i].isMark());
    };
    for (qsizetype i = 0; i < length; ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'\'' || c == u'\u2019') {
            // "don't", "1990's", and the possessive "parents'" are one word.
            const bool inWord = wordAt(i - 1) && letterAt(i + 1);
            const bool possessive = (i >= 2 && (text[i - 1] == u's' || text[i - 1] == u'S') &&
                                     letterAt(i - 2) && !wordAt(i + 1));
            if (!inWord && !possessive) {
                result[i] = u' ';
            }
        } else if (isWordSymbol(c)) {
            // "10 %" and "Tom & Jerry" say the symbol; "+++" between blanks says nothing.
            const bool near = wordAt(i - 1) || wordAt(i + 1) ||
                              (i >= 1 && text[i - 1] == u' ' && wordAt(i - 2)) ||
                              (i + 1 < length && text[i + 1] == u' ' && wordAt(i + 2));
            if (!near) {
                result[i] = u' ';
            }
        } else if ((c == u'-' && letterAt(i - 1) && letterAt(i + 1)) ||
                   (c == u':' && i >= 1 && text[i - 1].isDigit() && i + 1 < length &&
                    text[i + 1].isDigit())) {
            // "Wi-Fi" is one word, "10:30" one time of day.
        } else if (isDecoration(c)) {
            result[i] = u' ';
        }
    }
    return result;
}

QString inSpeakingCase(const QString& text) {
    // A word whose only capital is its first letter.
    static const QRegularExpression ordinary(
        QStringLiteral("(?<![\\p{L}\\p{M}\\p{N}'\u2019])\\p{Lu}[\\p{Ll}\\p{M}\\p{N}'\u2019]*"
                       "(?![\\p{L}\\p{M}\\p{N}'\u2019])"));
    // A full stop before a capital still ends the sentence once the capital is gone.
    static const QRegularExpression sentenceEnd(QStringLiteral("\\. (?= *\\p{Lu})"));
    QString result = text;
    result.replace(sentenceEnd, QStringLiteral(".\n"));
    QRegularExpressionMatchIterator words = ordinary.globalMatch(text);
    while (words.hasNext()) {
        const QRegularExpressionMatch word = words.next();
        result.replace(word.capturedStart(), word.capturedLength(), word.captured().toLower());
    }
    return result;
}

WordDifference compareWords(const QStringList& expected, const QStringList& said) {
    const qsizetype n = expected.size();
    const qsizetype m = said.size();
    // Edit distance with the full table, for the path back.
    std::vector<int> cost(static_cast<std::size_t>((n + 1) * (m + 1)));
    auto at = [&](qsizetype i, qsizetype j) -> int& {
        return cost[static_cast<std::size_t>(i * (m + 1) + j)];
    };
    for (qsizetype i = 0; i <= n; ++i) {
        at(i, 0) = static_cast<int>(i);
    }
    for (qsizetype j = 0; j <= m; ++j) {
        at(0, j) = static_cast<int>(j);
    }
    for (qsizetype i = 1; i <= n; ++i) {
        for (qsizetype j = 1; j <= m; ++j) {
            const int same = at(i - 1, j - 1) + (expected[i - 1] == said[j - 1] ? 0 : 1);
            at(i, j) = std::min({same, at(i - 1, j) + 1, at(i, j - 1) + 1});
        }
    }
    WordDifference difference;
    difference.expectedWords = static_cast<int>(n);
    difference.differing = at(n, m);
    // Walk back, gathering each run of edits into one stretch.
    QStringList wanted;
    QStringList heard;
    auto closeStretch = [&] {
        if (!wanted.isEmpty() || !heard.isEmpty()) {
            std::reverse(wanted.begin(), wanted.end());
            std::reverse(heard.begin(), heard.end());
            difference.stretches.prepend(wanted.join(u' ') + QStringLiteral(" -> ") +
                                         heard.join(u' '));
            wanted.clear();
            heard.clear();
        }
    };
    qsizetype i = n;
    qsizetype j = m;
    while (i > 0 || j > 0) {
        if (i > 0 && j > 0 && expected[i - 1] == said[j - 1] && at(i, j) == at(i - 1, j - 1)) {
            closeStretch();
            --i;
            --j;
        } else if (i > 0 && j > 0 && at(i, j) == at(i - 1, j - 1) + 1) {
            wanted.append(expected[--i]);
            heard.append(said[--j]);
        } else if (i > 0 && at(i, j) == at(i - 1, j) + 1) {
            wanted.append(expected[--i]);
        } else {
            heard.append(said[--j]);
        }
    }
    closeStretch();
    return difference;
}

QByteArray voiceForLanguage(const QByteArray& language) {
    if (language == "de") {
        return "gmw/de";
    }
    if (language == "fr") {
        return "roa/fr";
    }
    if (language == "es") {
        return "roa/es";
    }
    if (language == "ru") {
        return "zle/ru";
    }
    if (language == "pt") {
        return "roa/pt";
    }
    return "gmw/en";
}

} // namespace vt::test
