#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vt::test {

class PhonemeEngine;

// A page as an export takes it: the rendered text GetPageText returns (what
// `--text` prints) and the pieces the engine is given for it, after the page
// text file, the splitter and the renderer's reading of the part files.
struct ExportedSpeech {
    QString failure; // empty when the page was fetched and cut
    QString rendered;
    QStringList pieces;
};

// Fetches address with GetPageText on a thread of its own (the calling thread
// may be a window thread), into a private folder, and cuts the job's text file
// as an export does at the given rate.
ExportedSpeech exportedSpeechOf(const QString& address, int rate = 0);

// eSpeak NG's phonemes for the texts, one entry per spoken word, in order; the
// engine's pause marks are left out (they are no words).
QStringList phonemeWords(PhonemeEngine& engine, const QStringList& texts,
                         const QByteArray& voiceIdentifier);

// The text with each character a reader takes for decoration replaced by a
// blank: the punctuation and signs of the windows-1252 code page (separators,
// bullets, quotes, dashes, brackets, colons, ©, ™) other than . , ; ! ?, an
// apostrophe that does not part a word ("don't", "parents'"), a hyphen that
// does not join two letters ("Wi-Fi"), a colon that does not join two digits
// ("10:30"), and a symbol
// that stands apart from any word (% $ € £ ¥ & @ + # =). What is left is the
// page's words, and nothing but them.
QString withoutDecoration(const QString& text);

// The text in the case its words are spoken in: each word whose only capital
// is its first letter lower-cased ("The" -> "the"; "US", "iPhone" and
// "McDonald" stay), and a line feed after a full stop that a capital followed,
// so the sentence still ends there.
QString inSpeakingCase(const QString& text);

// How two word sequences differ: the words of a minimal edit (substituted,
// left out or added), counted on the expected side's scale.
struct WordDifference {
    int expectedWords = 0;
    int differing = 0;     // substitutions + deletions + insertions
    QStringList stretches; // "expected words -> said words", for messages
    double share() const { return expectedWords ? double(differing) / expectedWords : 0.0; }
};
WordDifference compareWords(const QStringList& expected, const QStringList& said);

// The voice identifier of a language tag in this program's voice files
// ("en" -> "gmw/en").
QByteArray voiceForLanguage(const QByteArray& language);

} // namespace vt::test
