// Reading aloud speaks a long page in pieces of 100,000 characters; a word the
// cut falls in is still spoken whole, and no pause is made where the cut fell
// inside a sentence.
#include "speech/reading/PieceJoin.h"

#include "core/files/FileUtils.h"
#include "sources/QtPrinting.h"
#include "speech/engine/SpeechEngine.h"
#include "speech/reading/PcmQueue.h"
#include "speech/reading/SynthesisWorker.h"
#include "speech/synthesis/SpeechRenderer.h"
#include "speech/synthesis/VoiceParameters.h"
#include "support/TestSpeech.h"

#include <QRegularExpression>
#include <future>
#include <gtest/gtest.h>

namespace vt {
namespace {

constexpr qsizetype ReadingPieceLength = 100000;

// Sentences, then the word cut at character at: "... around Great|er Wellington".
QString textCutInside(qsizetype at, const QString& first, const QString& second) {
    static const char* const sentences[] = {"The harbour was quiet this morning. ",
                                            "Boats came in with the tide. ",
                                            "A few people walked along the pier. "};
    QString text;
    for (int i = 0; text.size() < at - 300; ++i) {
        text += QString::fromLatin1(sentences[i % 3]);
    }
    text += QStringLiteral("Visitors to the region around");
    const qsizetype end = at - first.size() - 1; // where " first" begins
    while (text.size() + 4 <= end) {
        text += QStringLiteral(" the");
    }
    text.prepend(QString(end - text.size(), u' ')); // blanks before the first sentence
    return text + u' ' + first + second + QStringLiteral(" like the coast. They stay for days.");
}

QStringList words(test::PhonemeEngine& engine, const QStringList& texts) {
    QStringList all;
    for (const QString& text : texts) {
        all += engine.phonemes(text, "gmw/en")
                   .remove(QRegularExpression(QStringLiteral("_[:!]?")))
                   .split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    }
    return all;
}

class PieceJoinTest : public ::testing::Test {
  protected:
    test::TestSpeech m_speech;
};

TEST_F(PieceJoinTest, AWordTheCutFallsInIsSpokenWhole) {
    QString text =
        textCutInside(ReadingPieceLength, QStringLiteral("Great"), QStringLiteral("er Wellington"));
    const QString original = text;
    const QStringList pieces = SplitByLength(text, ReadingPieceLength);
    ASSERT_EQ(pieces.size(), 2);
    ASSERT_TRUE(pieces[0].endsWith(QStringLiteral(" Great")));
    ASSERT_TRUE(pieces[1].startsWith(QStringLiteral("er Wellington")));

    PieceJoin join;
    QStringList spoken;
    std::vector<bool> goesOn;
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const PieceJoin::Speech speech = join.next(pieces[i], i + 1 < pieces.size());
        spoken.append(speech.text);
        goesOn.push_back(speech.sentenceGoesOn);
    }
    EXPECT_EQ(spoken.join(QString()), original);
    EXPECT_TRUE(spoken[1].startsWith(QStringLiteral("Greater Wellington")));
    EXPECT_EQ(goesOn, std::vector<bool>({true, false}));
    // The engine says the same words as for the page in one go.
    const QString tail = original.right(300);
    const QStringList whole = words(m_speech.engine, {tail});
    const QStringList cut =
        words(m_speech.engine, {spoken[0].right(300 - spoken[1].size()), spoken[1]});
    EXPECT_EQ(cut.join(u' ').toStdString(), whole.join(u' ').toStdString());
}

TEST_F(PieceJoinTest, ACutAfterASentenceOrBetweenWordsKeepsThePieces) {
    PieceJoin join;
    const PieceJoin::Speech sentence = join.next(QStringLiteral("They stay for days. "), true);
    EXPECT_EQ(sentence.text, QStringLiteral("They stay for days. "));
    EXPECT_FALSE(sentence.sentenceGoesOn);
    const PieceJoin::Speech between = join.next(QStringLiteral("Visitors to the "), true);
    EXPECT_EQ(between.text, QStringLiteral("Visitors to the "));
    EXPECT_TRUE(between.sentenceGoesOn);
    // "10|%" and a surrogate pair cut in two wait for the rest of their word.
    EXPECT_EQ(join.next(QStringLiteral("prices rose 10"), true).text,
              QStringLiteral("prices rose "));
    EXPECT_EQ(join.next(QStringLiteral("% in a year \xd83d"), true).text,
              QStringLiteral("10% in a year "));
    EXPECT_EQ(join.next(QStringLiteral("\xde00 end."), false).text,
              QStringLiteral("\xd83d\xde00 end."));
    // The last piece is spoken as it is.
    EXPECT_EQ(join.next(QStringLiteral("last word"), false).text, QStringLiteral("last word"));
}

// Runs of silence of 150 ms or more, before the last sound.
int innerPauses(const QByteArray& pcm) {
    const auto* samples = reinterpret_cast<const qint16*>(pcm.constData());
    const qsizetype count = pcm.size() / 2;
    qsizetype last = count;
    while (last > 0 && std::abs(samples[last - 1]) <= 8) {
        --last;
    }
    int pauses = 0;
    qsizetype quiet = 0;
    for (qsizetype i = 0; i < last; ++i) {
        quiet = std::abs(samples[i]) <= 8 ? quiet + 1 : 0;
        if (quiet == SpeechEngine::SampleRate * 15 / 100) {
            ++pauses;
        }
    }
    return pauses;
}

TEST_F(PieceJoinTest, TheReadingVoiceSpeaksAWordCutBetweenTwoPiecesWithoutAPause) {
    // The reading voice's own thread, its audio queue read here.
    auto parameters = std::make_shared<VoiceParameters>();
    PcmQueue queue(qsizetype(1) << 30);
    std::promise<void> finished;
    int pending = 2;
    SynthesisWorker::Events events;
    events.audioAvailable = [] {};
    events.pieceFinished = [&](const SynthesisWorker::PieceResult& result) {
        EXPECT_FALSE(result.has_value()) << result->description.toStdString();
        if (--pending == 0) {
            finished.set_value();
        }
    };
    SynthesisWorker worker(m_speech.voices, parameters, queue, events);
    worker.enqueue(QStringLiteral("Visitors to the region around Great"), {}, true);
    worker.enqueue(QStringLiteral("er Wellington like the coast."), {}, false);
    ASSERT_EQ(finished.get_future().wait_for(std::chrono::seconds(60)), std::future_status::ready);
    const QByteArray pieces = queue.take(queue.size());

    class Collect final : public SampleReceiver {
      public:
        void receive(const qint16* samples, qsizetype count) override {
            pcm.append(reinterpret_cast<const char*>(samples), count * 2);
        }
        QByteArray pcm;
    } whole;
    SpeechRenderer renderer(m_speech.voices, *parameters, whole, {});
    ASSERT_TRUE(renderer.speak(
        QStringLiteral("Visitors to the region around Greater Wellington like the coast.")));

    ASSERT_GT(whole.pcm.size(), 0);
    EXPECT_EQ(innerPauses(whole.pcm), 0);
    EXPECT_EQ(innerPauses(pieces), 0);
    EXPECT_NEAR(double(pieces.size()), double(whole.pcm.size()), whole.pcm.size() * 0.05);
}

} // namespace
} // namespace vt
