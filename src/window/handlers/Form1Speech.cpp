// The window's speech handlers: voices, reading aloud, Test Speed, sliders.
#include "core/Failure.h"
#include "core/ProcedureTags.h"
#include "speech/reading/TestSpeedRun.h"
#include "speech/voices/VoiceCatalogueTexts.h"
#include "speech/voices/VoiceList.h"
#include "window/WindowLog.h"
#include "window/form/Form1.h"
#include "window/form/MousePointer.h"
#include "window/form/VoiceListCombo.h"
#include "window/form/WindowSteps.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>

namespace vt {

void Form1::PushButton1_Click() {
    Procedure proc(m_dialogs, tag::PushButton1Click);
    const QString address = voiceSearchAddress();
    bool yes = false;
    proc.step(AddVoicesStep::Ask, [&] { yes = m_dialogs.question(addVoicesQuestion()); });
    if (yes) {
        proc.step(AddVoicesStep::OpenSearch, [&] { m_dialogs.openUrl(address); });
    }
}

void Form1::PushButton3_Click() {
    Procedure proc(m_dialogs, tag::PushButton3Click);
    VoiceListCombo list(Combo1);
    if (FillVoiceList(list, m_voices, m_settings, m_dialogs, false)) {
        qCDebug(windowLog) << "voice list refreshed:" << Combo1->count() << "voices";
        proc.step(RefreshListStep::Notice, [&] { m_dialogs.notice(refreshDoneMessage()); });
    }
}

void Form1::Combo1_Click() {
    try {
        m_settings.write(QString::fromLatin1(key::Combo1), QString::number(Combo1->currentIndex()));
    } catch (const std::exception& e) {
        noticeFailure(m_dialogs, windowLog(), describe(e));
    }
}

void Form1::PushButton2_Click() {
    const QString caption = PushButton2->text();
    if (caption == PauseCaption || caption == ResumeCaption) {
        m_reading->SpeakLoud(nullptr);
        return;
    }
    startReading(std::nullopt);
}

void Form1::ReadThisText() {
    startReading(Text2->toPlainText());
}

// A new reading of the page at the address, or of the text given.
void Form1::startReading(std::optional<QString> text) {
    if (m_busy && PushButton2->text() == QLatin1String(StartReadingCaption) &&
        m_reading->state() == ReadingController::State::Paused) {
        // A reading left paused under a "Start Reading" caption gives way to a new one.
        m_reading->stop();
        setPointer(MousePointer::Default);
        m_busy = false;
    }
    if (m_busy) {
        return;
    }
    Procedure proc(m_dialogs, tag::PushButton2Click);
    m_busy = true;
    auto ended = [this] { m_busy = false; };
    proc.step(StartReadingStep::SpeakLoud, [&] {
        if (text) {
            m_reading->SpeakText(*text, ended);
        } else {
            m_reading->SpeakLoud(ended);
        }
    });
}

void Form1::stopReading() {
    if (m_reading->state() == ReadingController::State::Idle) {
        return;
    }
    m_reading->stop();
    setPointer(MousePointer::Default);
    setReadingCaption(QString::fromLatin1(StartReadingCaption));
    m_busy = false;
}

void Form1::Text2_Change() {
    PushButton2->setText(QString::fromLatin1(StartReadingCaption));
}

void Form1::PushButton14_Click() {
    if (m_busy) {
        return;
    }
    Procedure proc(m_dialogs, tag::PushButton14Click);
    m_busy = true;
    setPointer(MousePointer::Hourglass);
    auto ended = [this] {
        setPointer(MousePointer::Default);
        m_busy = false;
    };
    connect(m_testSpeed.get(), &TestSpeedRun::finished, this, ended, Qt::SingleShotConnection);
    const bool started = proc.step(TestSpeedStep::Start,
                                   [&] { m_testSpeed->start(voiceChoice(), m_voices, m_dialogs); });
    if (!started) {
        disconnect(m_testSpeed.get(), &TestSpeedRun::finished, this, nullptr);
        ended();
    }
}

void Form1::Slider1_Change() {
    sliderChanged(*m_volume);
}
void Form1::Slider2_Change() {
    sliderChanged(*m_rate);
}

void Form1::sliderChanged(SliderBinding& b) {
    const int value = b.slider->value();
    if (b.refusing) {
        return; // the gesture being refused, or the value put back
    }
    if (m_busy) {
        // The slider is still inside its own mouse, wheel or key handling, which
        // may go on to start its auto-repeat; a modal box opened from here would
        // let that repeat refuse again under the open box, without end.
        b.refusing = true;
        QMetaObject::invokeMethod(
            this, [this, &b] { refuseSliderChange(b); }, Qt::QueuedConnection);
        return;
    }
    b.accepted = value;
    b.frame->setTitle(b.captionPrefix + QString::number(value));
    Procedure proc(m_dialogs, b.tag);
    proc.step(SliderStep::StoreSetting, [&] { m_settings.write(b.key, QString::number(value)); });
}

namespace {

// Lets go of the slider as a button release would: no auto-repeat, no drag,
// so nothing moves it behind the refusal. A slider not held ignores it.
void releaseSlider(QSlider* slider) {
    const QPointF at = QRectF(slider->rect()).center();
    QMouseEvent release(QEvent::MouseButtonRelease, at, slider->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(slider, &release);
    for (const Qt::MouseButton button : {Qt::MiddleButton, Qt::RightButton}) {
        QMouseEvent other(QEvent::MouseButtonRelease, at, slider->mapToGlobal(at), button,
                          Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(slider, &other);
    }
}

} // namespace

void Form1::refuseSliderChange(SliderBinding& b) {
    releaseSlider(b.slider);
    Procedure proc(m_dialogs, b.tag);
    const QString refusal = QStringLiteral("You can not adjust because file is being saved now.");
    proc.step(SliderStep::RefusedNotice, [&] { m_dialogs.notice(refusal); });
    // Back to the last accepted value, the one the caption shows. Putting it
    // back is itself a change made while busy, so it is refused once more.
    b.slider->setValue(b.accepted);
    proc.step(SliderStep::RefusedNotice, [&] { m_dialogs.notice(refusal); });
    b.refusing = false;
}

} // namespace vt
