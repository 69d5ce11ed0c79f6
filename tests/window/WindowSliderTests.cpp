// The sliders while a page is read: every way of moving one is refused with
// the message twice, and the slider ends where it was.
#include "WindowTestSupport.h"
#include "core/SettingsStore.h"
#include "support/AudioServer.h"
#include "support/LocalHttpServer.h"
#include "support/TestEnvironment.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

using namespace vt;
using vt::test::WindowFixture;
using Kind = vt::test::RecordingDialogs::Kind;

namespace {

const ::testing::Environment* const audioServer =
    ::testing::AddGlobalTestEnvironment(new vt::test::AudioServerEnvironment);

const char* const Refusal = "You can not adjust because file is being saved now.";

QRect sliderPart(QSlider* slider, QStyle::SubControl part) {
    QStyleOptionSlider opt;
    opt.initFrom(slider);
    opt.orientation = slider->orientation();
    opt.minimum = slider->minimum();
    opt.maximum = slider->maximum();
    opt.sliderPosition = slider->sliderPosition();
    opt.sliderValue = slider->value();
    opt.tickPosition = slider->tickPosition();
    opt.tickInterval = slider->tickInterval();
    opt.pageStep = slider->pageStep();
    opt.singleStep = slider->singleStep();
    opt.upsideDown = slider->invertedAppearance();
    opt.subControls = QStyle::SC_All;
    return slider->style()->subControlRect(QStyle::CC_Slider, &opt, part, slider);
}

QRect handleRect(QSlider* slider) {
    return sliderPart(slider, QStyle::SC_SliderHandle);
}

// A point of the track on the side of the handle with the most room.
QPoint trackPoint(QSlider* slider) {
    const QRect handle = handleRect(slider);
    const int y = sliderPart(slider, QStyle::SC_SliderGroove).center().y();
    return handle.center().x() < slider->width() / 2
               ? QPoint((handle.right() + slider->width()) / 2, y)
               : QPoint(handle.left() / 2, y);
}

void turnWheel(QSlider* slider, int notches) {
    const QPointF at = QRectF(slider->rect()).center();
    QWheelEvent wheel(at, slider->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(slider, &wheel);
}

struct SliderUnderTest {
    QSlider* slider;
    QGroupBox* frame;
    const char* key;
    const char* prefix;
};

} // namespace

class WindowSliders : public ::testing::Test {
  protected:
    void SetUp() override {
        vt::test::clearSettings();
        SettingsStore().write(key::SpeechRate, "10"); // keep the reading short
        SettingsStore().write(key::VolumeLevel, "50");
        ASSERT_TRUE(f.load());
        QByteArray page = "<html><body>";
        for (int i = 0; i < 200; ++i) {
            page += "<p>This is sentence number " + QByteArray::number(i) + " of the page.</p>";
        }
        server.page("/long", page + "</body></html>");
        // Each box stays open a moment, as it does for a user reading it: the
        // window keeps running its events meanwhile.
        f.dialogs.setObserver([](Kind kind, const QString&) {
            if (kind == Kind::Notice) {
                QTest::qWait(150);
            }
        });
    }
    void TearDown() override {
        if (f.window) {
            f.window->stopReading();
        }
    }
    Form1& w() { return *f.window; }

    void startReading() {
        w().Text1->setText(server.url("/long"));
        w().PushButton2->click();
        ASSERT_TRUE(vt::test::waitUntil(
            [&] { return w().readingState() == ReadingController::State::Speaking; }, 20000));
        f.dialogs.clear();
    }

    QList<SliderUnderTest> sliders() {
        return {{w().Slider1, w().Frame1, key::VolumeLevel, "Volume Level = "},
                {w().Slider2, w().Frame4, key::SpeechRate, "Speech Rate = "}};
    }

    // After the gesture: exactly two refusals and nothing changed, also once
    // the slider's auto-repeat would have fired again.
    void expectRefusedTwice(const SliderUnderTest& s, int before, const char* way) {
        SCOPED_TRACE(std::string(way) + " on " + s.prefix);
        EXPECT_TRUE(vt::test::waitUntil([&] { return f.dialogs.count(Kind::Notice) >= 2; }, 5000));
        QTest::qWait(800);
        const QStringList shown = f.dialogs.textsOf(Kind::Notice);
        EXPECT_EQ(shown.size(), 2);
        EXPECT_EQ(shown.count(Refusal), shown.size());
        EXPECT_EQ(s.slider->value(), before);
        EXPECT_FALSE(s.slider->isSliderDown());
        EXPECT_EQ(s.frame->title(), s.prefix + QString::number(before));
        EXPECT_EQ(SettingsStore().read(s.key, ""), QString::number(before));
        EXPECT_TRUE(w().busy()) << "the reading ended before the gesture was tried";
        f.dialogs.clear();
    }

    vt::test::LocalHttpServer server;
    WindowFixture f;
};

TEST_F(WindowSliders, AClickHeldInTheTrackIsRefusedTwice) {
    VT_REQUIRE_AUDIO();
    startReading();
    for (const SliderUnderTest& s : sliders()) {
        const int before = s.slider->value();
        const QPoint at = trackPoint(s.slider);
        QTest::mousePress(s.slider, Qt::LeftButton, Qt::NoModifier, at);
        QTest::qWait(1200); // long past the slider's auto-repeat delay
        QTest::mouseRelease(s.slider, Qt::LeftButton, Qt::NoModifier, at);
        expectRefusedTwice(s, before, "held click");
    }
}

TEST_F(WindowSliders, DraggingTheHandleIsRefusedTwice) {
    VT_REQUIRE_AUDIO();
    startReading();
    for (const SliderUnderTest& s : sliders()) {
        const int before = s.slider->value();
        const QPoint from = handleRect(s.slider).center();
        const QPoint to = trackPoint(s.slider);
        QTest::mousePress(s.slider, Qt::LeftButton, Qt::NoModifier, from);
        for (int i = 1; i <= 8; ++i) {
            QTest::mouseMove(s.slider, from + (to - from) * i / 8, 20);
        }
        QTest::mouseRelease(s.slider, Qt::LeftButton, Qt::NoModifier, to);
        expectRefusedTwice(s, before, "drag");
    }
}

TEST_F(WindowSliders, TheWheelAndTheKeysAreRefusedTwice) {
    VT_REQUIRE_AUDIO();
    startReading();
    for (const SliderUnderTest& s : sliders()) {
        const int before = s.slider->value();
        const int towardsRoom = before == s.slider->maximum() ? -1 : 1;
        turnWheel(s.slider, towardsRoom);
        expectRefusedTwice(s, before, "wheel");
        for (const Qt::Key key : towardsRoom > 0
                                     ? QList{Qt::Key_Right, Qt::Key_PageUp, Qt::Key_End}
                                     : QList{Qt::Key_Left, Qt::Key_PageDown, Qt::Key_Home}) {
            s.slider->setFocus();
            QTest::keyClick(s.slider, key);
            expectRefusedTwice(s, before, "key");
        }
    }
}
