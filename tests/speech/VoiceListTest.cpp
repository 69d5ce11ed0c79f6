#include "speech/voices/VoiceList.h"

#include "core/SettingsStore.h"
#include "speech/voices/VoiceCatalogue.h"
#include "speech/voices/VoiceCatalogueTexts.h"
#include "support/RecordingDialogs.h"
#include "support/RecordingVoiceList.h"
#include "support/TestEnvironment.h"
#include "support/TestSpeech.h"

#include <gtest/gtest.h>

namespace vt {
namespace {

using test::RecordingDialogs;
using test::RecordingVoiceList;

class FillVoiceListTest : public ::testing::Test {
  protected:
    void SetUp() override { test::clearSettings(); }

    // Fills a list that already holds an old entry.
    bool fillWith(const QString& remembered) {
        if (!remembered.isNull()) {
            settings.write(key::Combo1, remembered);
        }
        list.items = {"old entry"};
        list.current = 0;
        return FillVoiceList(list, catalogue, settings, dialogs, false);
    }

    test::TestSpeech speech;
    VoiceCatalogue catalogue{speech.engine}; // empty until the list fills it
    SettingsStore settings;
    RecordingDialogs dialogs;
    RecordingVoiceList list;
};

TEST_F(FillVoiceListTest, FreshSettingsSelectTheFirstOfAllVoices) {
    EXPECT_TRUE(catalogue.voices().empty());
    EXPECT_TRUE(fillWith(QString()));
    EXPECT_EQ(list.items, speech.voices.voiceNames());
    EXPECT_EQ(catalogue.voiceNames(), speech.voices.voiceNames());
    EXPECT_EQ(list.clears, 1);
    EXPECT_EQ(list.current, 0);
    EXPECT_TRUE(dialogs.entries().isEmpty());
    EXPECT_EQ(settings.read(key::Combo1, "unset"), "unset");
}

TEST_F(FillVoiceListTest, RemembersThePositionRoundingHalvesToEven) {
    const struct {
        const char* stored;
        int selected;
    } cases[] = {{"1", 1},   {"2.5", 2},       {"3.5", 4},  {"0.5", 0}, {"1.2", 1},
                 {"abc", 0}, {" 7 voices", 7}, {"-0.4", 0}, {"", 0}};
    for (const auto& c : cases) {
        EXPECT_TRUE(fillWith(c.stored));
        EXPECT_EQ(list.current, c.selected) << "stored " << c.stored;
    }
    EXPECT_TRUE(dialogs.entries().isEmpty());
}

TEST_F(FillVoiceListTest, OutOfRangeOrNegativePositionsLeaveNoSelection) {
    const int count = static_cast<int>(speech.voices.voiceNames().size());
    for (const QString& stored : QStringList{QString::number(count), QString::number(count + 7),
                                             "-1", "-2", "-1e30", "1e30"}) {
        EXPECT_TRUE(fillWith(stored));
        EXPECT_EQ(list.current, -1) << "stored " << stored.toStdString();
        EXPECT_EQ(list.count(), count);
        // The setting keeps its value until the user chooses a voice.
        EXPECT_EQ(settings.read(key::Combo1, ""), stored);
    }
    EXPECT_TRUE(dialogs.entries().isEmpty());
}

TEST(VoiceCatalogueTexts, AreBuiltAsTheButtonsShowThem) {
    EXPECT_TRUE(refreshDoneMessage().startsWith("Done.\r\rList has been refreshed"));
    EXPECT_FALSE(refreshDoneMessage().contains('\n'));
    const QStringList lines = addVoicesQuestion().split("\r\n");
    ASSERT_EQ(lines.size(), 7);
    EXPECT_TRUE(lines[1].isEmpty());
    EXPECT_TRUE(lines[5].isEmpty());
    EXPECT_TRUE(lines[2].startsWith("1. "));
    EXPECT_TRUE(lines[3].startsWith("2. "));
    EXPECT_TRUE(lines[4].startsWith("3. Click the 'Refresh List'"));
    EXPECT_FALSE(addVoicesQuestion().contains('\r' + QString('\r')));
    EXPECT_TRUE(voiceSearchAddress().startsWith("https://"));
    EXPECT_TRUE(voiceSearchAddress().endsWith("?q=espeak%20ng%20voices"));
    // Nothing speaks of another platform's speech service.
    for (const QString& text : {noVoicesMessage(), refreshDoneMessage(), addVoicesQuestion()}) {
        EXPECT_TRUE(text.contains("eSpeak NG")) << text.toStdString();
        EXPECT_FALSE(text.contains("Windows")) << text.toStdString();
        EXPECT_FALSE(text.contains("Microsoft")) << text.toStdString();
    }
}

} // namespace
} // namespace vt
