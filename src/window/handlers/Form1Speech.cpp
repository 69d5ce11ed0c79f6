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
#include <QGroupBox>
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
        m_dialogs.notice(describe(e));
    }
}

void Form1::PushButton2_Click() {
    const QString caption = PushButton2->text();
    if (caption == PauseCaption || caption == ResumeCaption) {
        m_reading->SpeakLoud(nullptr);
        return;
    }
    if (m_busy && m_reading->state() == ReadingController::State::Paused) {
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
    proc.step(StartReadingStep::SpeakLoud,
              [&] { m_reading->SpeakLoud([this] { m_busy = false; }); });
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
    Procedure proc(m_dialogs, b.tag);
    const int value = b.slider->value();
    if (m_busy) {
        proc.step(SliderStep::RefusedNotice, [&] {
            m_dialogs.notice(QStringLiteral("You can not adjust because file is being saved now."));
        });
        // Back to the last accepted value, the one the caption shows.
        const QSignalBlocker quiet(b.slider);
        b.slider->setValue(b.accepted);
        return;
    }
    b.accepted = value;
    b.frame->setTitle(b.captionPrefix + QString::number(value));
    proc.step(SliderStep::StoreSetting, [&] { m_settings.write(b.key, QString::number(value)); });
}

} // namespace vt
