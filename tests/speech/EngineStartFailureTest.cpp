#include "commands/ListVoicesCommand.h"
#include "core/Failure.h"
#include "core/ProcedureTags.h"
#include "core/SettingsStore.h"
#include "speech/reading/SpeechVoice.h"
#include "speech/reading/TestSpeedRun.h"
#include "speech/voices/VoiceCatalogue.h"
#include "speech/voices/VoiceCatalogueTexts.h"
#include "speech/voices/VoiceList.h"
#include "speech/wav/SaveToWAV.h"
#include "support/RecordingDialogs.h"
#include "support/RecordingVoiceList.h"
#include "support/TestEnvironment.h"
#include "support/TestSpeech.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTextStream>
#include <gtest/gtest.h>

namespace vt {
namespace {

using test::RecordingDialogs;
using Kind = RecordingDialogs::Kind;

// An engine pointed at an empty data folder, so it cannot start.
struct EngineWithoutData : test::TestSpeech {
    EngineWithoutData() : TestSpeech(emptyFolder()) {}
    static QString emptyFolder() {
        const QString empty = test::sandboxFolder() + "/empty-engine-data";
        EXPECT_TRUE(QDir().mkpath(empty));
        return empty;
    }
};

TEST(EngineStartFailure, TheVoiceListShowsItsMessageOnceAndKeepsItsEntries) {
    EngineWithoutData speech;
    SettingsStore settings;
    RecordingDialogs dialogs;
    test::RecordingVoiceList list;
    list.items = {"Earlier voice"};
    list.current = 0;
    EXPECT_FALSE(FillVoiceList(list, speech.voices, settings, dialogs, false));
    EXPECT_EQ(dialogs.textsOf(Kind::Notice), QStringList{noVoicesMessage()});
    EXPECT_EQ(dialogs.entries().size(), 1);
    EXPECT_EQ(list.clears, 0);
    EXPECT_EQ(list.items, QStringList{"Earlier voice"});

    dialogs.clear();
    EXPECT_FALSE(FillVoiceList(list, speech.voices, settings, dialogs, true));
    EXPECT_TRUE(dialogs.entries().isEmpty());
}

TEST(EngineStartFailure, EveryUseFailsWithTheEngineDescription) {
    EngineWithoutData speech;
    try {
        speech.voices.refresh();
        ADD_FAILURE() << "the voices were listed";
    } catch (const Failure& failure) {
        EXPECT_TRUE(
            failure.description().startsWith("The speech engine (eSpeak NG) could not start"))
            << failure.description().toStdString();
    }
    EXPECT_THROW(SpeechVoice voice(speech.voices), Failure);

    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    EXPECT_NE(listVoicesCommand(speech.engine, outStream, errStream), 0);
    EXPECT_TRUE(out.isEmpty());
    EXPECT_TRUE(err.contains("could not start"));
}

TEST(EngineStartFailure, TheNextEngineStartsAfresh) {
    {
        EngineWithoutData broken;
        EXPECT_THROW(broken.engine.checkStarted(), Failure);
    }
    test::TestSpeech speech;
    EXPECT_NO_THROW(speech.engine.checkStarted());
    EXPECT_GT(speech.voices.voices().size(), 10u);
}

TEST(EngineStartFailure, TheRendererReportsAt100AndEnds) {
    EngineWithoutData speech;
    RecordingDialogs dialogs;
    const QString text = test::sandboxFolder() + "/temp/part.txt";
    const QString wav = test::sandboxFolder() + "/temp/part.wav";
    test::writeAll(text, "No engine, no speech.");
    SaveToWAV(text, wav, {0, 50, 0}, speech.voices, dialogs);
    const QStringList reports = dialogs.textsOf(Kind::ErrorReport);
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].contains(QString("\r\n") + tag::SaveToWAV + "at line 100\r\r"));
    EXPECT_EQ(dialogs.entries().size(), 1);
    EXPECT_FALSE(QFileInfo::exists(wav));

    dialogs.clear();
    TestSpeedRun run;
    QSignalSpy finished(&run, &TestSpeedRun::finished);
    run.start({0, 50, 0}, speech.voices, dialogs);
    ASSERT_TRUE(test::waitUntil([&] { return finished.count() > 0; }, 5000));
    EXPECT_EQ(finished.count(), 1);
    ASSERT_EQ(dialogs.count(Kind::ErrorReport), 1);
    EXPECT_TRUE(dialogs.textsOf(Kind::ErrorReport)[0].contains("at line 100\r\r"));
}

} // namespace
} // namespace vt
