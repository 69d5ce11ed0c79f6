#pragma once

#include <QString>

namespace vt {

// Reading aloud hands a long page to the voice in pieces of a fixed length,
// so a cut may fall inside a word ("Great|er Wellington"). The voice speaks
// one piece at a time; this keeps each word whole: when the text goes on in
// the next piece, the word the piece ends with waits and is spoken at the
// start of the next one.
class PieceJoin {
  public:
    struct Speech {
        QString text;
        // The sentence goes on in the next speech, so its end makes no pause.
        bool sentenceGoesOn = false;
    };

    // What to speak now for the next piece; textGoesOn tells that another
    // piece of the same text follows.
    Speech next(const QString& piece, bool textGoesOn);

    // How many characters wait for the next piece.
    qsizetype waitingLength() const { return m_waiting.size(); }

    // A word waiting longer than this is no word: the piece is spoken as cut.
    static constexpr qsizetype LongestWord = 100;

  private:
    QString m_waiting;
};

} // namespace vt
