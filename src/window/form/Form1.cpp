// The main window's life: construction, start-up, the pointer, and closing.
#include "Form1.h"

#include "MousePointer.h"
#include "OptionalFiles.h"
#include "StartupActions.h"
#include "VoiceListCombo.h"
#include "WindowSteps.h"
#include "core/Failure.h"
#include "core/files/FileUtils.h"
#include "core/ProcedureTags.h"
#include "export/ExportRunner.h"
#include "speech/reading/TestSpeedRun.h"
#include "speech/voices/VoiceList.h"
#include "window/WindowLog.h"
#include "window/handlers/ArticleSwitch.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>

namespace vt {

Form1::Form1(SpeechEngine& engine, Dialogs& dialogs, std::function<int()> randomPercent,
             QWidget* parent)
    : QWidget(parent), m_dialogs(dialogs, m_closing.get_token()), m_voices(engine),
      m_randomPercent(std::move(randomPercent)) {
    buildControls();
    m_pointer = new MousePointer(this);
    m_articleSwitch = new ArticleSwitch(m_dialogs, this);
    m_cancelExport = new QAction(QString::fromLatin1(CancelExportCaption), this);
    m_cancelExport->setObjectName(QStringLiteral("CancelExport"));
    m_articleSwitch->attachTo(Text1);
    m_articleSwitch->attachTo(PushButton2);
    m_articleSwitch->attachTo(PushButton8, [this] {
        return m_export->isRunning() ? QList<QAction*>{m_cancelExport} : QList<QAction*>{};
    });
    ReadingView& view = *this;
    m_reading =
        std::make_unique<ReadingController>(view, m_dialogs, m_voices, m_pageTextFolder.path());
    m_testSpeed = std::make_unique<TestSpeedRun>();
    m_export = std::make_unique<ExportRunner>();
    m_volume.reset(new SliderBinding{Slider1, Frame1, QStringLiteral("Volume Level = "),
                                     QString::fromLatin1(key::VolumeLevel), tag::Slider1Change,
                                     Slider1->value()});
    m_rate.reset(new SliderBinding{Slider2, Frame4, QStringLiteral("Speech Rate = "),
                                   QString::fromLatin1(key::SpeechRate), tag::Slider2Change,
                                   Slider2->value()});
    wireHandlers();
    wirePointer();
}

Form1::~Form1() = default;

void Form1::publishExportProgress(const QDBusConnection& bus) {
    m_export->setLauncher(LauncherProgress(bus));
}

void Form1::wireHandlers() {
    connect(PushButton1, &QPushButton::clicked, this, &Form1::PushButton1_Click);
    connect(PushButton2, &QPushButton::clicked, this, &Form1::PushButton2_Click);
    connect(PushButton3, &QPushButton::clicked, this, &Form1::PushButton3_Click);
    connect(PushButton4, &QPushButton::clicked, this, &Form1::PushButton4_Click);
    connect(PushButton5, &QPushButton::clicked, this, &Form1::PushButton5_Click);
    connect(PushButton6, &QPushButton::clicked, this, &Form1::PushButton6_Click);
    connect(PushButton7, &QPushButton::clicked, this, &Form1::PushButton7_Click);
    connect(PushButton8, &QPushButton::clicked, this, &Form1::PushButton8_Click);
    connect(PushButton9, &QPushButton::clicked, this, &Form1::PushButton9_Click);
    connect(PushButton14, &QPushButton::clicked, this, &Form1::PushButton14_Click);
    connect(Combo1, &QComboBox::activated, this, &Form1::Combo1_Click);
    connect(Slider1, &QSlider::valueChanged, this, &Form1::Slider1_Change);
    connect(Slider2, &QSlider::valueChanged, this, &Form1::Slider2_Change);
    connect(Text2, &QPlainTextEdit::textChanged, this, &Form1::Text2_Change);
    connect(Text3, &QLineEdit::textChanged, this, &Form1::Text3_Change);
    Text2->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Text2, &QWidget::customContextMenuRequested, this, &Form1::showTextBoxMenu);
    connect(m_cancelExport, &QAction::triggered, this, &Form1::CancelExport);
    connect(m_export.get(), &ExportRunner::workStarted, this,
            [this] { setPointer(MousePointer::Hourglass); });
    connect(m_export.get(), &ExportRunner::workEnded, this,
            [this] { setPointer(MousePointer::Default); });
    connect(m_export.get(), &ExportRunner::finished, this, &Form1::onExportFinished);
    Text1->installEventFilter(this);
}

void Form1::wirePointer() {
    for (QWidget* w :
         {static_cast<QWidget*>(this), static_cast<QWidget*>(Frame1), static_cast<QWidget*>(Frame2),
          static_cast<QWidget*>(Frame3), static_cast<QWidget*>(Frame4),
          static_cast<QWidget*>(Frame5), static_cast<QWidget*>(Frame6), Text2->viewport()}) {
        m_pointer->arrowOver(w);
    }
    for (QPushButton* b : {PushButton1, PushButton3, PushButton4, PushButton5, PushButton6,
                           PushButton7, PushButton8, PushButton9}) {
        m_pointer->handOver(b);
    }
    m_pointer->handAlwaysOver(PushButton2);
}

int Form1::mousePointer() const {
    return m_pointer->value();
}
void Form1::setPointer(int value) {
    m_pointer->set(value);
}

void Form1::loadPointerPicture() {
    QFile file(optionalFilePath(QString::fromLatin1(HandPointerFile)));
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    QPixmap picture;
    if (!picture.loadFromData(bytes, "CUR")) {
        throw Failure(QStringLiteral("Invalid picture"));
    }
    // The first image's hot spot sits in its directory entry (bytes 10 to 13).
    auto le16 = [&](int at) {
        return static_cast<int>(static_cast<uchar>(bytes[at]) |
                                (static_cast<uchar>(bytes[at + 1]) << 8));
    };
    const bool isCursor = bytes.size() >= 14 && le16(2) == 2;
    m_pointer->setCustomPicture(QCursor(picture, isCursor ? le16(10) : 0, isCursor ? le16(12) : 0));
}

VoiceChoice Form1::voiceChoice() const {
    return VoiceChoice{Combo1->currentIndex(), Slider1->value(), Slider2->value()};
}

bool Form1::Form_Load() {
    using Step = FormLoadStep;
    Procedure proc(m_dialogs, tag::FormLoad);
    proc.step(Step::ApplySkin, [&] { ApplySkin(this); });
    const QString cursorFile = optionalFilePath(QString::fromLatin1(HandPointerFile));
    if (FileExists(cursorFile)) {
        proc.step(Step::LoadPointerPicture, [&] { loadPointerPicture(); });
    }
    proc.step(Step::VisitHomePage, [&] { OpenHomePageAtRandom(m_dialogs, m_randomPercent); });
    setWindowTitle(QString::fromLatin1(ProductName));
    setWindowIcon(productIcon());
    SetAppTitle();
    VoiceListCombo list(Combo1);
    if (!FillVoiceList(list, m_voices, m_settings, m_dialogs, false)) {
        qCDebug(windowLog) << "no voices: the program ends";
        return false;
    }
    auto restore = [&](QSlider* slider, const char* key, const char* fallback) {
        const int value = m_settings.readWholeNumber(QString::fromLatin1(key), fallback);
        if (value < slider->minimum() || value > slider->maximum()) {
            throw Failure(QStringLiteral("Invalid property value"));
        }
        slider->setValue(value);
    };
    proc.step(Step::RestoreVolume, [&] { restore(Slider1, key::VolumeLevel, "50"); });
    proc.step(Step::RestoreRate, [&] { restore(Slider2, key::SpeechRate, "-3"); });
    Frame1->setTitle(m_volume->captionPrefix + QString::number(Slider1->value()));
    Frame4->setTitle(m_rate->captionPrefix + QString::number(Slider2->value()));
    proc.step(Step::RestoreFolder, [&] {
        Text3->setText(m_settings.read(QString::fromLatin1(key::Text3), DefaultOutputFolder()));
    });
    proc.step(Step::CentreOnScreen, [&] { centreOnScreen(); });
    m_articleSwitch->load(); // never fails: an unreadable choice is the whole page
    qCDebug(windowLog) << "window loaded with" << Combo1->count() << "voices";
    return true;
}

void Form1::closeEvent(QCloseEvent* event) {
    event->accept();
    if (closing()) {
        return;
    }
    qCDebug(windowLog) << "window closing; export running:" << m_export->isRunning();
    m_reading->releaseVoice();
    m_closing.request_stop();
    m_testSpeed.reset();
    delete m_sampleFetch;
    if (m_export->isRunning()) {
        // The window goes away now; the program ends when the job has wound down.
        m_export->cancel();
        return;
    }
    emit closed();
}

QString Form1::readingCaption() const {
    return PushButton2->text();
}
void Form1::setReadingCaption(const QString& caption) {
    PushButton2->setText(caption);
}
QString Form1::address() const {
    return Text1->text();
}
PageTextMode Form1::pageTextMode() const {
    return m_articleSwitch->mode();
}

} // namespace vt
