// The window's speech handlers: voices, reading aloud, Test Speed, sliders.
#include "Form1.h"
#include "MousePointer.h"
#include "VoiceListCombo.h"
#include "core/Failure.h"
#include "core/ProcedureTags.h"
#include "speech/SpeechVoice.h"
#include "speech/TestSpeedRun.h"
#include "speech/VoiceCatalogueTexts.h"
#include "speech/VoiceList.h"

#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QSlider>

namespace vt {

void Form1::PushButton1_Click() {
    Procedure proc(m_dialogs, tag::PushButton1Click);
    QString address;
    proc.step(100, [&] { address = voiceSearchAddress(); });
    bool yes = false;
    proc.step(102, [&] { yes = m_dialogs.question(addVoicesQuestion()); });
    if (yes) {
        proc.step(104, [&] { m_dialogs.openUrl(address); });
    }
}

void Form1::PushButton3_Click() {
    Procedure proc(m_dialogs, tag::PushButton3Click);
    bool listed = false;
    proc.step(100, [&] {
        VoiceListCombo list(Combo1);
        listed = FillVoiceList(list, m_settings, m_dialogs, false);
    });
    if (listed) {
        proc.step(102, [&] { m_dialogs.notice(refreshDoneMessage()); });
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
    Procedure proc(m_dialogs, tag::PushButton2Click);
    if (proc.test(100, [&] { return m_busy; })) {
        return;
    }
    proc.step(102, [&] { m_busy = true; });
    proc.step(104, [&] {
        m_reading->SpeakLoud([this] {
            Procedure end(m_dialogs, tag::PushButton2Click);
            end.step(106, [&] { m_busy = false; });
        });
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
    Procedure proc(m_dialogs, tag::PushButton14Click);
    if (proc.test(100, [&] { return m_busy; })) {
        return;
    }
    proc.step(102, [&] { m_busy = true; });
    proc.step(104, [&] { setPointer(MousePointer::Hourglass); });
    auto ended = [this] {
        Procedure end(m_dialogs, tag::PushButton14Click);
        end.step(110, [&] { setPointer(MousePointer::Default); });
        end.step(112, [&] { m_busy = false; });
    };
    connect(m_testSpeed.get(), &TestSpeedRun::finished, this, ended, Qt::SingleShotConnection);
    const bool started = proc.step(108, [&] { m_testSpeed->start(voiceChoice(), m_dialogs); });
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
    if (proc.test(108, [&] { return m_busy; })) {
        proc.step(122, [&] {
            m_dialogs.notice(QStringLiteral("You can not adjust because file is being saved now."));
        });
        // Back to the last accepted value, the one the caption shows.
        proc.step(124, [&] {
            const QSignalBlocker quiet(b.slider);
            b.slider->setValue(b.accepted);
        });
        return;
    }
    b.accepted = value;
    proc.step(110, [&] { b.frame->setTitle(b.captionPrefix + QString::number(value)); });
    proc.step(112, [&] { m_settings.write(b.key, QString::number(value)); });
    SpeechVoice* voice = m_reading->speechVoice();
    if (!proc.test(114, [&] { return voice == nullptr; })) {
        proc.step(116, [&] { (voice->*b.pushToVoice)(value); });
    }
    proc.step(120, [&] { b.pushToFileVoice(value); });
}

} // namespace vt
