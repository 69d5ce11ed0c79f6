#include "speech/synthesis/TextChunker.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace vt {
namespace {

QString joined(const std::vector<SpeechChunk>& chunks) {
    QString all;
    for (const SpeechChunk& chunk : chunks) {
        all += chunk.text;
    }
    return all;
}

QString words(int count, const QString& word = QStringLiteral("word")) {
    QStringList list;
    for (int i = 0; i < count; ++i) {
        list << word;
    }
    return list.join(u' ');
}

// Every chunk is within the limits and the chunks give the text back.
void expectCover(const QString& text, const std::vector<SpeechChunk>& chunks) {
    EXPECT_EQ(joined(chunks), text);
    for (const SpeechChunk& chunk : chunks) {
        EXPECT_LE(chunk.text.size(), ChunkMaximumLength);
        EXPECT_FALSE(chunk.text.isEmpty());
    }
}

TEST(TextChunker, SentencesOfAnyLengthUpToAChunkAreNeverCutInside) {
    QString text;
    for (int i = 0; i < 60; ++i) {
        // From 2 to about 790 characters, mixed.
        text += QStringLiteral("Sentence %1 ").arg(i) + words((i * 37) % 157) + u'.' +
                (i % 3 == 0 ? QStringLiteral("\n") : QStringLiteral(" "));
    }
    const auto chunks = chunkForSpeech(text);
    expectCover(text, chunks);
    ASSERT_GT(chunks.size(), 10u);
    for (const SpeechChunk& chunk : chunks) {
        EXPECT_FALSE(chunk.endsInsideSentence);
        EXPECT_TRUE(chunk.text.endsWith(u". ") || chunk.text.endsWith(u".\n") ||
                    &chunk == &chunks.back())
            << chunk.text.toString().toStdString();
    }
    EXPECT_GE(chunks.front().text.size(), ChunkPreferredLength);
}

TEST(TextChunker, LineEndsAreCutsAndAParagraphBreakStaysWhole) {
    QString text;
    for (int i = 0; i < 40; ++i) {
        // Headings and items without punctuation, then an empty line.
        text += QStringLiteral("garden news %1\napple river window %1\n\n").arg(i);
    }
    const auto chunks = chunkForSpeech(text);
    expectCover(text, chunks);
    ASSERT_GT(chunks.size(), 3u);
    for (const SpeechChunk& chunk : chunks) {
        EXPECT_FALSE(chunk.endsInsideSentence);
        EXPECT_TRUE(chunk.text.endsWith(u'\n'));
        // The empty line goes with the line before it: the engine hears the
        // paragraph break at the end of that chunk.
        EXPECT_FALSE(chunk.text.startsWith(u'\n'));
    }
}

TEST(TextChunker, AFullStopBeforeALowerCaseWordIsNoSentenceEnd) {
    // The engine reads "sat. the" as an abbreviation and goes on without a
    // pause, so a cut there would add one; "!" and "?" do end a sentence.
    const QString lower = QStringLiteral("the cat sat. the dog ran. ").repeated(80);
    const auto lowerChunks = chunkForSpeech(lower);
    expectCover(lower, lowerChunks);
    ASSERT_GT(lowerChunks.size(), 1u);
    for (std::size_t i = 0; i + 1 < lowerChunks.size(); ++i) {
        EXPECT_TRUE(lowerChunks[i].endsInsideSentence);
    }
    EXPECT_FALSE(lowerChunks.back().endsInsideSentence);

    for (const QString& sentence : {QStringLiteral("The cat sat. The dog ran. "),
                                    QStringLiteral("the cat sat? the dog ran! "),
                                    QStringLiteral("the cat sat. 12 dogs ran. ")}) {
        const QString text = sentence.repeated(80);
        const auto chunks = chunkForSpeech(text);
        expectCover(text, chunks);
        ASSERT_GT(chunks.size(), 1u);
        for (const SpeechChunk& chunk : chunks) {
            EXPECT_FALSE(chunk.endsInsideSentence) << sentence.toStdString();
        }
    }
}

TEST(TextChunker, ALongSentenceIsCutBetweenWordsAndMarked) {
    // A short sentence, then one of 2,000 characters with commas in it.
    QString longSentence = QStringLiteral("Then ");
    while (longSentence.size() < 2000) {
        longSentence += QStringLiteral("river garden, morning ");
    }
    const QString text = QStringLiteral("A short one. ") + longSentence + QStringLiteral("end.");
    const auto chunks = chunkForSpeech(text);
    expectCover(text, chunks);
    // The short sentence is a chunk of its own rather than the start of a cut one.
    ASSERT_GE(chunks.size(), 4u);
    EXPECT_EQ(chunks[0].text, u"A short one. ");
    EXPECT_FALSE(chunks[0].endsInsideSentence);
    for (std::size_t i = 1; i + 1 < chunks.size(); ++i) {
        EXPECT_TRUE(chunks[i].endsInsideSentence);
        // Between two words, not after a comma whose pause would be lost.
        EXPECT_TRUE(chunks[i].text.endsWith(u"morning ") || chunks[i].text.endsWith(u"river "))
            << chunks[i].text.toString().toStdString();
    }
    EXPECT_FALSE(chunks.back().endsInsideSentence);
}

TEST(TextChunker, TextWithoutBlanksIsCutAtTheLimitWithoutSplittingAPair) {
    const QString emoji = QString::fromUtf8("\U0001F600").repeated(1000);
    const auto chunks = chunkForSpeech(emoji);
    expectCover(emoji, chunks);
    for (const SpeechChunk& chunk : chunks) {
        EXPECT_FALSE(chunk.text.back().isHighSurrogate());
        EXPECT_FALSE(chunk.text.front().isLowSurrogate());
    }
    EXPECT_TRUE(chunkForSpeech(QString()).empty());
    const QString blanks(3000, u' ');
    expectCover(blanks, chunkForSpeech(blanks));
}

} // namespace
} // namespace vt
