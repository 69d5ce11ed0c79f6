#include "speech/voices/VoiceCatalogue.h"

#include "commands/ListVoicesCommand.h"
#include "core/Failure.h"
#include "support/TestSpeech.h"

#include <QLocale>
#include <QProcess>
#include <QTextStream>
#include <gtest/gtest.h>

namespace vt {
namespace {

// What the engine's own command-line program lists: name (blanks shown as
// "_") and voice file, in its order.
struct ListedVoice {
    QString name;
    QString file;
};

std::vector<ListedVoice> commandLineVoices(const QString& language = {}) {
    QProcess process;
    process.start("espeak-ng",
                  {language.isEmpty() ? QStringLiteral("--voices") : "--voices=" + language});
    EXPECT_TRUE(process.waitForFinished(20000));
    std::vector<ListedVoice> voices;
    const QList<QByteArray> lines = process.readAllStandardOutput().split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList fields = QString::fromUtf8(lines[i]).simplified().split(u' ');
        if (fields.size() >= 5 && !fields[4].startsWith("mb/")) {
            voices.push_back({fields[3], fields[4]});
        }
    }
    return voices;
}

QString shown(const QString& name) {
    return QString(name).replace(u' ', u'_');
}

// Restores the default locale after a test changed it.
class LocaleGuard {
  public:
    LocaleGuard() : m_saved(QLocale()) {}
    ~LocaleGuard() { QLocale::setDefault(m_saved); }

  private:
    QLocale m_saved;
};

void expectEngineOrderWithFirst(const VoiceCatalogue& catalogue, const QString& languageForFirst) {
    const std::vector<ListedVoice> engine = commandLineVoices();
    const std::vector<ListedVoice> best = commandLineVoices(languageForFirst);
    ASSERT_FALSE(engine.empty());
    ASSERT_FALSE(best.empty());

    const QStringList names = catalogue.voiceNames();
    const std::vector<VoiceEntry> voices = catalogue.voices();
    ASSERT_EQ(static_cast<std::size_t>(names.size()), engine.size());
    ASSERT_EQ(voices.size(), engine.size());

    EXPECT_EQ(shown(names[0]), best.front().name);
    EXPECT_EQ(QString::fromUtf8(voices[0].identifier), best.front().file);
    // The others follow in the engine's order.
    qsizetype next = 1;
    for (const ListedVoice& voice : engine) {
        if (voice.file == best.front().file) {
            continue;
        }
        ASSERT_LT(next, names.size());
        EXPECT_EQ(shown(names[next]), voice.name) << "position " << next;
        EXPECT_EQ(QString::fromUtf8(voices[static_cast<std::size_t>(next)].identifier), voice.file);
        ++next;
    }
}

TEST(VoiceCatalogue, ListsTheEngineVoicesWithTheUserLanguageFirst) {
    LocaleGuard guard;
    QLocale::setDefault(QLocale::c());
    test::TestSpeech speech;
    EXPECT_EQ(VoiceCatalogue::userLanguage(), "en");
    expectEngineOrderWithFirst(speech.voices, "en");
    EXPECT_TRUE(speech.voices.voiceNames().contains("English (America)"));
}

TEST(VoiceCatalogue, FollowsTheLocaleLanguageAndCountry) {
    LocaleGuard guard;
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    test::TestSpeech speech;
    EXPECT_EQ(VoiceCatalogue::userLanguage(), "pt-br");
    expectEngineOrderWithFirst(speech.voices, "pt-br");
    EXPECT_EQ(speech.voices.voiceNames().first(), "Portuguese (Brazil)");

    QLocale::setDefault(QLocale(QLocale::German, QLocale::Austria));
    speech.voices.refresh();
    EXPECT_EQ(speech.voices.voiceNames().first(), "German");
}

TEST(VoiceCatalogue, IsASnapshotThatOnlyARefreshChanges) {
    LocaleGuard guard;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    test::TestSpeech speech;
    const VoiceCatalogue taken = speech.voices; // a copy goes with a job
    ASSERT_EQ(taken.voiceNames().first(), "German");

    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    EXPECT_EQ(speech.voices.voiceNames().first(), "German");
    EXPECT_EQ(speech.voices.defaultVoiceIdentifier(), taken.defaultVoiceIdentifier());
    speech.voices.refresh();
    EXPECT_EQ(speech.voices.voiceNames().first(), "Portuguese (Brazil)");
    EXPECT_NE(speech.voices.defaultVoiceIdentifier(), taken.defaultVoiceIdentifier());
    EXPECT_EQ(taken.voiceNames().first(), "German");
    EXPECT_EQ(&taken.engine(), &speech.engine);
}

TEST(VoiceCatalogue, PositionsNameVoicesOrFail) {
    test::TestSpeech speech;
    const VoiceCatalogue& catalogue = speech.voices;
    const std::vector<VoiceEntry> voices = catalogue.voices();
    ASSERT_GT(voices.size(), 2u);
    EXPECT_EQ(catalogue.voiceAt(1).identifier, voices[1].identifier);
    EXPECT_EQ(catalogue.defaultVoiceIdentifier(), voices[0].identifier);
    for (const int bad : {-1, static_cast<int>(voices.size()), 100000}) {
        try {
            catalogue.voiceAt(bad);
            ADD_FAILURE() << "position " << bad << " was accepted";
        } catch (const Failure& failure) {
            EXPECT_TRUE(failure.description().contains(QString::number(bad)))
                << failure.description().toStdString();
        }
    }
}

TEST(ListVoicesCommand, PrintsOneNumberedLinePerVoice) {
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    test::TestSpeech speech;
    EXPECT_EQ(listVoicesCommand(speech.engine, outStream, errStream), 0);
    const QStringList names = speech.voices.voiceNames();
    QStringList expected;
    for (qsizetype i = 0; i < names.size(); ++i) {
        expected << QString::number(i) + " " + names[i];
    }
    EXPECT_EQ(out, expected.join('\n') + '\n');
    EXPECT_TRUE(err.isEmpty());
}

} // namespace
} // namespace vt
