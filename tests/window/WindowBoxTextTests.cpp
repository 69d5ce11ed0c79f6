// "Read This Text" and "Save This Text As MP3" in the text box's context
// menu: the box's own text read aloud into the null sink and saved as an MP3,
// nothing fetched.
#include "../export/ExportTestSupport.h"
#include "WindowTestSupport.h"
#include "core/files/FileUtils.h"
#include "core/SettingsStore.h"
#include "speech/voices/VoiceCatalogue.h"
#include "speech/wav/SaveToWAV.h"
#include "support/AudioServer.h"
#include "support/LocalHttpServer.h"
#include "support/TestEnvironment.h"
#include "support/WavFile.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace vt;
using vt::test::WindowFixture;
using Kind = vt::test::RecordingDialogs::Kind;

namespace {

const ::testing::Environment* const audioServer =
    ::testing::AddGlobalTestEnvironment(new vt::test::AudioServerEnvironment);

constexpr int Rate = 22050;

// What the user pasted: a title line and a few sentences, several seconds of
// speech where the page at the address would give a fraction of one.
const QString BoxText =
    QStringLiteral("Pasted notes: the harbour\n"
                   "The ferry leaves the harbour at seven every morning and returns before dark. "
                   "Tickets are sold on board, and bicycles travel free of charge. "
                   "In winter the crossing is often cancelled when the wind turns to the north.\n");

// From the first audible sample to the last, in seconds.
double audibleSpanSeconds(const std::vector<qint16>& samples) {
    std::size_t first = samples.size();
    std::size_t last = 0;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (std::abs(samples[i]) > 16) {
            first = std::min(first, i);
            last = i;
        }
    }
    return first < last ? static_cast<double>(last - first) / Rate : 0.0;
}

// The context menu a right click in the text box pops up.
QMenu* openTextBoxMenu(QPlainTextEdit* box) {
    QWidget* viewport = box->viewport();
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(4, 4),
                            viewport->mapToGlobal(QPoint(4, 4)));
    QCoreApplication::sendEvent(viewport, &event);
    vt::test::waitUntil([] { return QApplication::activePopupWidget() != nullptr; }, 2000);
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

QAction* actionIn(QMenu* menu, const QString& text) {
    for (QAction* action : menu->actions()) {
        if (action->text() == text) {
            return action;
        }
    }
    return nullptr;
}

// Chooses an entry of the text box's menu as a person would.
bool choose(QPlainTextEdit* box, const QString& text) {
    QMenu* menu = openTextBoxMenu(box);
    if (!menu) {
        return false;
    }
    QAction* action = actionIn(menu, text);
    menu->close();
    if (!action) {
        return false;
    }
    action->trigger();
    return true;
}

} // namespace

class WindowBoxText : public ::testing::Test {
  protected:
    void SetUp() override {
        vt::test::clearSettings();
        SettingsStore().write(key::SpeechRate, "10");
        SettingsStore().write(key::Text3, QDir::toNativeSeparators(out.path()) + QDir::separator());
        ASSERT_TRUE(f.load());
        f.dialogs.clear();
        server.page("/other", "<p>Not this.</p>");
        w().Text1->setText(server.url("/other"));
        w().Text2->setPlainText(BoxText);
    }
    Form1& w() { return *f.window; }

    // How long the box's text lasts when the renderer speaks it with the
    // window's voice, volume and rate, as a WAV file.
    QString renderBoxText() {
        const QString textPath = scratch.filePath("box.txt");
        const QString wavPath = scratch.filePath("box.wav");
        vt::test::writeAll(textPath, BoxText.toUtf8());
        VoiceCatalogue voices(*f.engine);
        voices.refresh();
        vt::test::RecordingDialogs quiet;
        SaveToWAV(textPath, wavPath, w().voiceChoice(), voices, quiet);
        return wavPath;
    }

    vt::test::LocalHttpServer server;
    QTemporaryDir out;
    QTemporaryDir scratch;
    WindowFixture f;
};

TEST_F(WindowBoxText, TheMenuOffersBothBesideTheBoxsOwnEntries) {
    QMenu* menu = openTextBoxMenu(w().Text2);
    ASSERT_NE(menu, nullptr);
    QStringList texts;
    for (QAction* action : menu->actions()) {
        texts << action->text();
    }
    menu->close();
    ASSERT_GE(texts.size(), 4);
    EXPECT_EQ(texts.mid(texts.size() - 2),
              QStringList({"Read This Text", "Save This Text As MP3"}));
    // The box's own entries stay (their texts carry accelerators and shortcuts).
    EXPECT_TRUE(texts.join('|').contains("Paste")) << texts.join('|').toStdString();
}

TEST_F(WindowBoxText, ReadThisTextSpeaksTheBoxsWordsAndFetchesNothing) {
    VT_REQUIRE_AUDIO();
    vt::test::MonitorRecorder recorder;
    ASSERT_TRUE(recorder.start());
    QTest::qWait(200); // the recording settles before anything plays
    ASSERT_TRUE(choose(w().Text2, "Read This Text"));
    EXPECT_TRUE(w().busy());
    EXPECT_EQ(w().PushButton2->text(), "Pause");
    EXPECT_EQ(w().reading().readingTitle(), "Pasted notes: the harbour");
    // Refused while it reads, as the buttons are.
    w().PushButton8->click();
    ASSERT_TRUE(choose(w().Text2, "Save This Text As MP3"));
    ASSERT_TRUE(choose(w().Text2, "Read This Text"));
    ASSERT_TRUE(vt::test::waitUntil([&] { return !w().busy(); }, 60000));
    QTest::qWait(300);
    EXPECT_EQ(w().PushButton2->text(), "Start Reading");
    EXPECT_EQ(f.dialogs.entries().size(), 0);
    EXPECT_EQ(server.hits("/other"), 0);
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files), QStringList());
    // What was heard lasts as long as the box's text rendered, several times
    // longer than the page at the address would.
    const double heard = audibleSpanSeconds(recorder.samples());
    const double expected = audibleSpanSeconds(vt::test::readWav(renderBoxText()).samples);
    ASSERT_GT(expected, 3.0);
    EXPECT_NEAR(heard, expected, expected * 0.2) << "heard " << heard;
}

TEST_F(WindowBoxText, SaveThisTextAsMp3MakesAnMp3OfTheBoxsText) {
    ASSERT_TRUE(choose(w().Text2, "Save This Text As MP3"));
    EXPECT_TRUE(w().busy());
    w().PushButton2->click(); // turned away while it saves
    EXPECT_EQ(w().PushButton2->text(), "Start Reading");
    ASSERT_TRUE(vt::test::waitUntil([&] { return !w().busy(); }, 120000));
    EXPECT_EQ(f.dialogs.textsOf(Kind::Notice), QStringList{"Done."});
    EXPECT_EQ(server.hits("/other"), 0);
    // Named by the text's first line, cleaned as an address is.
    const QString mp3 = out.filePath("Pasted notes the harbour.mp3");
    ASSERT_TRUE(FileExists(mp3)) << QDir(out.path()).entryList().join('|').toStdString();
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files).size(), 1);
    const vt::test::DecodedMp3 decoded = vt::test::decodeMp3(mp3);
    ASSERT_TRUE(decoded.ok) << decoded.warnings.toStdString();
    const double expected = vt::test::wavSeconds(renderBoxText());
    ASSERT_GT(expected, 3.0);
    // The encoder adds a frame or two at the ends, nothing more.
    EXPECT_NEAR(decoded.seconds, expected, 0.15) << "decoded " << decoded.seconds;
}

TEST_F(WindowBoxText, AnEmptyBoxIsSaidSoAndNothingIsMade) {
    w().Text2->clear();
    ASSERT_TRUE(choose(w().Text2, "Read This Text"));
    ASSERT_TRUE(vt::test::waitUntil([&] { return !w().busy(); }));
    EXPECT_EQ(f.dialogs.textsOf(Kind::Notice),
              QStringList{"No text to read. Select a file above to read."});
    f.dialogs.clear();
    ASSERT_TRUE(choose(w().Text2, "Save This Text As MP3"));
    ASSERT_TRUE(vt::test::waitUntil([&] { return !w().busy(); }, 60000));
    EXPECT_EQ(f.dialogs.textsOf(Kind::Notice),
              QStringList{"No MP3 was made: the text box has no text to read."});
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files), QStringList());
    EXPECT_EQ(server.hits("/other"), 0);
}
