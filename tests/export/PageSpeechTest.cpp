// What the engine says for a real rendered page, exported and read aloud: the
// page's words in order, a pause at every sentence end and after every line
// that ends without punctuation, and no gap where a long sentence was cut.
#include "export/CutTextFileFSO.h"
#include "speech/engine/SpeechEngine.h"
#include "speech/synthesis/SpeechRenderer.h"
#include "speech/synthesis/TextChunker.h"
#include "speech/synthesis/VoiceParameters.h"
#include "speech/voices/VoiceCatalogue.h"
#include "speech/wav/SaveToWAV.h"
#include "support/RecordingDialogs.h"
#include "support/TestEnvironment.h"
#include "support/TestSpeech.h"
#include "support/WavFile.h"
#include "support/html/HtmlText.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vt {
namespace {

constexpr double MsPerSample = 1000.0 / SpeechEngine::SampleRate;

const QByteArray GardenPage = R"(<!DOCTYPE html>
<html lang="en"><head><title>Garden News</title><style>nav { color: green }</style></head>
<body>
<h1>Garden news</h1>
<p>The apple trees are in bloom this week. Visitors came from far away to see them.</p>
<h2>What to plant</h2>
<ul><li>Early potatoes</li><li>Broad beans</li><li>Sweet peas</li></ul>
<table><tr><td>Monday</td><td>Rain</td></tr><tr><td>Tuesday</td><td>Sunshine</td></tr></table>
<p lang="de">Das Mädchen geht über die Straße. Die Bäume blühen früh.</p>
<p lang="fr">Le garçon va au café. Il était une fois à Noël.</p>
</body></html>)";

// A clause as the page has it: a sentence, or a line without closing
// punctuation (heading, list item, table row).
struct Clause {
    QStringList words;
    bool endsSentence = false;
};

std::vector<Clause> clausesOf(const QString& pageText) {
    static const QRegularExpression sentenceEnd(QStringLiteral("(?<=[.!?])\\s+(?=\\p{Lu})"));
    static const QRegularExpression notWord(QStringLiteral("[^\\p{L}\\p{N}]+"));
    std::vector<Clause> clauses;
    for (const QString& line : pageText.split(u'\n')) {
        for (const QString& part : line.trimmed().split(sentenceEnd, Qt::SkipEmptyParts)) {
            clauses.push_back({part.toLower().split(notWord, Qt::SkipEmptyParts),
                               part.endsWith(u'.') || part.endsWith(u'!') || part.endsWith(u'?')});
        }
    }
    return clauses;
}

// Runs of silence of at least minimumMs, in order, in milliseconds.
std::vector<double> silencesOf(const std::vector<qint16>& samples, double minimumMs) {
    std::vector<double> silences;
    std::size_t quietFrom = 0;
    for (std::size_t i = 0; i <= samples.size(); ++i) {
        if (i < samples.size() && std::abs(samples[i]) <= 8) {
            continue;
        }
        const double ms = (i - quietFrom) * MsPerSample;
        if (ms >= minimumMs) {
            silences.push_back(ms);
        }
        quietFrom = i + 1;
    }
    return silences;
}

// The engine's phonemes for the text, one entry per clause and word.
std::vector<QStringList> spokenClauses(test::TestSpeech& speech, const QString& text) {
    const QString transcript = speech.engine.phonemes(text, speech.voices.defaultVoiceIdentifier());
    std::vector<QStringList> clauses;
    for (const QString& line : transcript.split(u'\n', Qt::SkipEmptyParts)) {
        clauses.push_back(line.split(u' ', Qt::SkipEmptyParts));
    }
    return clauses;
}

// Words in order and no word made up: as many clauses as the page has, each
// with as many spoken words as written ones (a fused pair would be one word,
// a full stop between two words an extra "dot", a broken accented word two).
void expectSaysThePageWords(test::TestSpeech& speech, const QString& given,
                            const std::vector<Clause>& page) {
    const std::vector<QStringList> spoken = spokenClauses(speech, given);
    ASSERT_EQ(spoken.size(), page.size()) << given.toStdString();
    for (std::size_t i = 0; i < page.size(); ++i) {
        EXPECT_EQ(spoken[i].size(), page[i].words.size())
            << page[i].words.join(' ').toStdString() << " was spoken as "
            << spoken[i].join(' ').toStdString();
        EXPECT_FALSE(spoken[i].contains(QStringLiteral("d'0t")));
    }
}

// A pause after every clause: at least 250 ms after a sentence, 120 ms after a
// line without punctuation. Inside a clause the engine's gaps stay under 100 ms.
void expectPausesOfThePage(const std::vector<qint16>& samples, const std::vector<Clause>& page) {
    const std::vector<double> pauses = silencesOf(samples, 100);
    ASSERT_EQ(pauses.size(), page.size());
    for (std::size_t i = 0; i < page.size(); ++i) {
        EXPECT_GE(pauses[i], page[i].endsSentence ? 250 : 120)
            << "after " << page[i].words.join(' ').toStdString();
    }
}

class PageSpeechTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_pageText = renderedTextOfUtf8(GardenPage);
        m_clauses = clausesOf(m_pageText);
    }

    test::TestSpeech m_speech;
    QTemporaryDir m_dir;
    QString m_pageText;
    std::vector<Clause> m_clauses;
    test::RecordingDialogs m_dialogs;
};

TEST_F(PageSpeechTest, TheRenderedPageHasHeadingsItemsRowsAndSentences) {
    // The fixture itself: what the other tests rely on.
    EXPECT_TRUE(m_pageText.contains(QStringLiteral("Garden news\n")));
    EXPECT_TRUE(m_pageText.contains(QStringLiteral("Monday\tRain\n")));
    ASSERT_EQ(m_clauses.size(), 13u);
    EXPECT_FALSE(m_clauses[0].endsSentence); // the heading
    EXPECT_TRUE(m_clauses[1].endsSentence);
    EXPECT_EQ(m_clauses[9].words.join(' '), QString::fromUtf8("das mädchen geht über die straße"));
}

TEST_F(PageSpeechTest, TheExportGivesTheEngineThePageLinesAndItSaysThePageWords) {
    const QString input = m_dir.filePath("output.txt");
    test::writeAll(input, m_pageText.toUtf8());
    ASSERT_EQ(CutTextFileFSO(input, 0, m_dialogs), 1);
    const QString part = QString::fromUtf8(test::readAll(m_dir.filePath("output001.txt")));
    EXPECT_TRUE(m_dialogs.entries().isEmpty());

    // What the engine is given: every line on its own, letters whole.
    for (const char* line :
         {"garden news\n", "early potatoes\nbroad beans\nsweet peas\n", "monday rain\n",
          "the apple trees are in bloom this week.\nvisitors came",
          "das m\u00e4dchen geht \u00fcber die stra\u00dfe.\ndie b\u00e4ume bl\u00fchen "
          "fr\u00fch.\n",
          "le gar\u00e7on va au caf\u00e9.\nil \u00e9tait une fois \u00e0 no\u00ebl.\n"}) {
        EXPECT_TRUE(part.contains(QString::fromUtf8(line))) << line;
    }
    // What it says.
    expectSaysThePageWords(m_speech, part, m_clauses);

    // What it sounds like.
    const QString wav = m_dir.filePath("output001.wav");
    SaveToWAV(m_dir.filePath("output001.txt"), wav, VoiceChoice{-1, 100, 0}, m_speech.voices,
              m_dialogs);
    const test::WavFile rendered = test::readWav(wav);
    ASSERT_TRUE(rendered.problem.isEmpty()) << rendered.problem.toStdString();
    expectPausesOfThePage(rendered.samples, m_clauses);
    EXPECT_TRUE(m_dialogs.entries().isEmpty());
}

// Collects what the renderer makes and where each chunk began.
class Recorder final : public SampleReceiver {
  public:
    void receive(const qint16* samples, qsizetype count) override {
        m_samples.insert(m_samples.end(), samples, samples + count);
    }
    std::vector<qint16> m_samples;
};

TEST_F(PageSpeechTest, ReadingAloudSaysThePageTextWithTheSamePauses) {
    // Reading aloud speaks the page text as fetched: original case, tabs.
    expectSaysThePageWords(m_speech, m_pageText, m_clauses);
    VoiceParameters voice;
    Recorder recorder;
    SpeechRenderer renderer(m_speech.voices, voice, recorder, {});
    ASSERT_TRUE(renderer.speak(m_pageText));
    expectPausesOfThePage(recorder.m_samples, m_clauses);
}

TEST_F(PageSpeechTest, ASentenceCutIntoChunksHasNoGapWhereItWasCut) {
    QString sentence = QStringLiteral("Then");
    static const char* const words[] = {"river",   "garden", "morning", "quiet", "lantern",
                                        "harbour", "yellow", "window",  "paper", "silver"};
    for (int i = 0; sentence.size() < 2 * ChunkMaximumLength + 100; ++i) {
        sentence += u' ' + QString::fromLatin1(words[(i * 7) % 10]);
    }
    const QString text = QStringLiteral("A short start. ") + sentence + u'.';
    const auto chunks = chunkForSpeech(text);
    ASSERT_EQ(chunks.size(), 4u);
    ASSERT_TRUE(chunks[1].endsInsideSentence && chunks[2].endsInsideSentence);

    VoiceParameters voice;
    Recorder recorder;
    SpeechRenderer renderer(m_speech.voices, voice, recorder, {});
    std::vector<std::size_t> chunkStarts;
    renderer.setBeforeChunk([&] { chunkStarts.push_back(recorder.m_samples.size()); });
    ASSERT_TRUE(renderer.speak(text));
    ASSERT_EQ(chunkStarts.size(), 4u);

    const std::vector<qint16>& samples = recorder.m_samples;
    auto silenceAround = [&](std::size_t at) {
        std::size_t from = at;
        std::size_t to = at;
        while (from > 0 && std::abs(samples[from - 1]) <= 8) {
            --from;
        }
        while (to < samples.size() && std::abs(samples[to]) <= 8) {
            ++to;
        }
        return (to - from) * MsPerSample;
    };
    // After the short sentence: the sentence pause; at the two cuts inside the
    // long one: nothing longer than the engine's gaps between words.
    EXPECT_GE(silenceAround(chunkStarts[1]), 250);
    EXPECT_LE(silenceAround(chunkStarts[2]), 60);
    EXPECT_LE(silenceAround(chunkStarts[3]), 60);
    EXPECT_GE(silenceAround(samples.size()), 250); // the sentence's own end
}

} // namespace
} // namespace vt
