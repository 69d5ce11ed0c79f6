// The fixed layout of the main window: every control with its caption,
// position and size (given in twips, 15 to the pixel) and the tab order.
#include "Form1.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSlider>

namespace vt {

namespace {

constexpr int ClientWidth = 536;  // 8040 twips
constexpr int ClientHeight = 610; // 9150 twips

QRect twips(int left, int top, int width, int height) {
    auto px = [](int t) { return qRound(t / 15.0); };
    return QRect(px(left), px(top), px(width), px(height));
}

template <typename W> W* place(W* widget, const char* name, const QRect& geometry) {
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(geometry);
    return widget;
}

// A captioned widget (a frame or a label) that paints its own background.
template <typename W>
W* filled(QWidget* parent, const char* name, const char* caption, const QRect& geometry) {
    auto* widget = place(new W(QString::fromLatin1(caption), parent), name, geometry);
    widget->setAutoFillBackground(true);
    return widget;
}

QPushButton* button(QWidget* parent, const char* name, const char* caption, const QRect& geometry) {
    auto* b = place(new QPushButton(QString::fromLatin1(caption), parent), name, geometry);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(11.25);
    font.setBold(true);
    b->setFont(font);
    QPalette palette = b->palette();
    palette.setColor(QPalette::Button, Qt::white);
    palette.setColor(QPalette::ButtonText, palette.color(QPalette::Active, QPalette::ButtonText));
    b->setPalette(palette);
    b->setAutoDefault(false);
    return b;
}

QSlider* slider(QWidget* parent, const char* name, int minimum, int maximum, int value,
                const QRect& geometry) {
    auto* s = place(new QSlider(Qt::Horizontal, parent), name, geometry);
    s->setRange(minimum, maximum);
    s->setSingleStep(1);
    s->setPageStep(5);
    s->setTickInterval(1);
    s->setTickPosition(QSlider::TicksBelow);
    s->setValue(value);
    return s;
}

} // namespace

void Form1::buildControls() {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Form1"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(ClientWidth, ClientHeight);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSize(9);
    font.setBold(true);
    setFont(font);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    setAutoFillBackground(true);

    Frame3 = filled<QGroupBox>(this, "Frame3", "Website", twips(120, 120, 7800, 800));
    Text1 = place(new QLineEdit(Frame3), "Text1", twips(240, 300, 7335, 345));

    Frame5 = filled<QGroupBox>(this, "Frame5", "Text To Read", twips(120, 960, 7800, 3405));
    Text2 = place(new QPlainTextEdit(Frame5), "Text2", twips(240, 420, 7320, 1785));
    Text2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    PushButton4 =
        button(Frame5, "PushButton4", "Load Text From Text File", twips(240, 2310, 3600, 405));
    PushButton5 =
        button(Frame5, "PushButton5", "Save Text To Text File", twips(3960, 2310, 3600, 405));
    PushButton6 = button(Frame5, "PushButton6", "Clear Text", twips(240, 2820, 3600, 405));
    PushButton7 =
        button(Frame5, "PushButton7", "Load Sample/Example Website", twips(3960, 2820, 3600, 405));

    Frame1 = filled<QGroupBox>(this, "Frame1", "Volume Control", twips(120, 4440, 7800, 855));
    Label2 = filled<QLabel>(Frame1, "Label2", "Min.", twips(150, 360, 375, 195));
    Slider1 = slider(Frame1, "Slider1", 0, 100, 0, twips(540, 300, 6555, 315));
    Label3 = filled<QLabel>(Frame1, "Label3", "Max.", twips(7170, 345, 405, 225));

    Frame4 = filled<QGroupBox>(this, "Frame4", "Speed of Speech", twips(120, 5370, 7800, 870));
    Label6 = filled<QLabel>(Frame4, "Label6", "Slow", twips(225, 330, 615, 255));
    Slider2 = slider(Frame4, "Slider2", -10, 10, -3, twips(660, 300, 4845, 315));
    Label5 = filled<QLabel>(Frame4, "Label5", "Fast", twips(5550, 345, 360, 225));
    PushButton14 = button(Frame4, "PushButton14", "Test Speed", twips(6120, 300, 1440, 345));

    Frame2 = filled<QGroupBox>(this, "Frame2", "Voice Used", twips(120, 6300, 7800, 840));
    Combo1 = place(new QComboBox(Frame2), "Combo1", twips(240, 300, 4200, 345));
    PushButton3 = button(Frame2, "PushButton3", "Refresh List", twips(4560, 300, 1440, 345));
    PushButton1 = button(Frame2, "PushButton1", "Add Voices", twips(6120, 300, 1440, 345));

    PushButton2 = button(this, "PushButton2", "Start Reading", twips(120, 7260, 7800, 405));

    Frame6 = filled<QGroupBox>(this, "Frame6", "Save MP3 File(s) To This Folder",
                               twips(120, 7710, 7800, 1320));
    Text3 = place(new QLineEdit(Frame6), "Text3", twips(240, 300, 6500, 345));
    Text3->setReadOnly(true); // locked: selectable and copyable, not editable
    PushButton9 = button(Frame6, "PushButton9", "...", twips(6840, 300, 720, 345));
    PushButton8 = button(Frame6, "PushButton8", "Save Audio As MP3", twips(240, 750, 7320, 405));

    setTabOrder();
}

void Form1::setTabOrder() {
    // Frames and labels take no focus; the focusable controls follow their tab indexes.
    const QList<QWidget*> order = {Text1,       Text2,       PushButton4, PushButton5,
                                   PushButton6, PushButton7, Slider1,     Slider2,
                                   Combo1,      PushButton2, Text3,       PushButton9,
                                   PushButton8, PushButton1, PushButton3, PushButton14};
    for (qsizetype i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }
}

void Form1::centreOnScreen() {
    if (const QScreen* screen = this->screen()) {
        const QRect available = screen->availableGeometry();
        move(available.center() - QPoint(width() / 2, height() / 2));
    }
}

} // namespace vt
