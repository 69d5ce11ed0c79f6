#include "TextChunker.h"

namespace vt {

namespace {

// Whether the engine ends a sentence or a clause at the blanks text[from, to):
// a line feed ends a line, "!" and "?" end a sentence, and "." does unless a
// lower-case letter follows (the engine takes that for an abbreviation).
bool endsSentenceOrLine(const QString& text, qsizetype from, qsizetype to) {
    for (qsizetype i = from; i < to; ++i) {
        if (text[i] == u'\n') {
            return true;
        }
    }
    if (from == 0) {
        return false;
    }
    const QChar before = text[from - 1];
    if (before == u'!' || before == u'?') {
        return true;
    }
    return before == u'.' && (to == text.size() || !text[to].isLower());
}

class Chunker {
  public:
    explicit Chunker(const QString& text) : m_text(text) {}

    std::vector<SpeechChunk> run() {
        const qsizetype length = m_text.size();
        qsizetype blanksFrom = -1; // where the current run of blanks began
        for (qsizetype i = 0; i < length; ++i) {
            if (i - m_start == ChunkMaximumLength) {
                cutFull(i);
            }
            if (!m_text[i].isSpace()) {
                blanksFrom = -1;
                continue;
            }
            if (blanksFrom < 0) {
                blanksFrom = i;
            }
            if (i + 1 < length && m_text[i + 1].isSpace()) {
                continue; // the cut goes after the whole run
            }
            const qsizetype end = i + 1;
            if (endsSentenceOrLine(m_text, blanksFrom, end)) {
                if (end - m_start >= ChunkPreferredLength) {
                    cutAt(end, false);
                } else {
                    m_sentenceBreak = end;
                }
            } else if (blanksFrom > 0 && m_text[blanksFrom - 1].isLetterOrNumber()) {
                m_wordBreak = end;
            } else {
                m_otherBreak = end;
            }
        }
        if (m_start < length) {
            m_chunks.push_back({QStringView(m_text).mid(m_start), false});
        }
        return std::move(m_chunks);
    }

  private:
    // The chunk [m_start, full) has reached the maximum length.
    void cutFull(qsizetype full) {
        if (m_sentenceBreak > m_start) {
            cutAt(m_sentenceBreak, false);
            return;
        }
        // Inside a sentence: between two words, not after a comma (whose
        // pause the cut would lose), and not so early the chunk stays tiny.
        const qsizetype half = m_start + ChunkMaximumLength / 2;
        qsizetype end = full;
        if (m_wordBreak > half) {
            end = m_wordBreak;
        } else if (m_otherBreak > half) {
            end = m_otherBreak;
        } else if (m_text[full - 1].isHighSurrogate()) {
            --end; // never split a surrogate pair
        }
        cutAt(end, true);
    }

    void cutAt(qsizetype end, bool insideSentence) {
        m_chunks.push_back({QStringView(m_text).mid(m_start, end - m_start), insideSentence});
        m_start = end;
    }

    const QString& m_text;
    std::vector<SpeechChunk> m_chunks;
    qsizetype m_start = 0;
    qsizetype m_sentenceBreak = -1; // latest cut after a sentence or line end
    qsizetype m_wordBreak = -1;     // latest cut between two words
    qsizetype m_otherBreak = -1;    // latest cut after other blanks
};

} // namespace

std::vector<SpeechChunk> chunkForSpeech(const QString& text) {
    return Chunker(text).run();
}

} // namespace vt
