#include "TextChunker.h"

namespace vt {

namespace {

bool endsSentence(QChar c) {
    return c == u'.' || c == u'!' || c == u'?' || c == u'\n';
}

} // namespace

std::vector<QStringView> chunkForSpeech(const QString& text) {
    std::vector<QStringView> chunks;
    const qsizetype length = text.size();
    qsizetype start = 0;
    qsizetype lastBlank = -1;
    for (qsizetype i = 0; i < length; ++i) {
        const QChar c = text[i];
        const qsizetype chunkLength = i + 1 - start;
        if (c.isSpace()) {
            lastBlank = i;
            if (chunkLength >= ChunkPreferredLength && i > start && endsSentence(text[i - 1])) {
                chunks.emplace_back(text.constData() + start, chunkLength);
                start = i + 1;
                continue;
            }
        }
        if (chunkLength >= ChunkMaximumLength) {
            qsizetype end = lastBlank >= start + ChunkMaximumLength / 2 ? lastBlank + 1 : i + 1;
            if (end == i + 1 && c.isHighSurrogate() && i + 1 < length) {
                ++end; // never split a surrogate pair
                ++i;
            }
            chunks.emplace_back(text.constData() + start, end - start);
            start = end;
        }
    }
    if (start < length) {
        chunks.emplace_back(text.constData() + start, length - start);
    }
    return chunks;
}

} // namespace vt
