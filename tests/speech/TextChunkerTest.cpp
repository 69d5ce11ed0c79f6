#include "speech/TextChunker.h"

#include <gtest/gtest.h>

namespace vt {
namespace {

QString joined(const std::vector<QStringView>& chunks) {
    QString all;
    for (const QStringView chunk : chunks) {
        all += chunk;
    }
    return all;
}

TEST(TextChunker, ChunksCoverTheTextExactlyAndStayWithinTheLimit) {
    QString text;
    for (int i = 0; i < 400; ++i) {
        text += QStringLiteral("Sentence number %1 has a few words in it. ").arg(i);
    }
    text += QString(3000, u'x') + QStringLiteral(" tail");
    const auto chunks = chunkForSpeech(text);
    EXPECT_EQ(joined(chunks), text);
    for (const QStringView chunk : chunks) {
        EXPECT_LE(chunk.size(), ChunkMaximumLength);
        EXPECT_FALSE(chunk.isEmpty());
    }
    // Between sentences the cut follows a full stop.
    EXPECT_TRUE(chunks.front().trimmed().endsWith(u'.'));
    EXPECT_GE(chunks.front().size(), ChunkPreferredLength);
}

TEST(TextChunker, LongSentencesAreCutAtABlankAndPairsStayWhole) {
    QString words;
    while (words.size() < 2000) {
        words += QStringLiteral("word ");
    }
    for (const QStringView chunk : chunkForSpeech(words)) {
        EXPECT_TRUE(chunk.endsWith(u' ') || chunk == QStringView(words).right(chunk.size()));
    }
    const QString emoji = QString::fromUtf8("\U0001F600").repeated(1000);
    const auto chunks = chunkForSpeech(emoji);
    EXPECT_EQ(joined(chunks), emoji);
    for (const QStringView chunk : chunks) {
        EXPECT_FALSE(chunk.back().isHighSurrogate());
        EXPECT_FALSE(chunk.front().isLowSurrogate());
    }
    EXPECT_TRUE(chunkForSpeech(QString()).empty());
}

} // namespace
} // namespace vt
