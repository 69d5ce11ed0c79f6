#include "MousePointer.h"

#include <QEvent>
#include <QMouseEvent>
#include <QWidget>

namespace vt {

namespace {
constexpr char RuleProperty[] = "vtPointerRule";
}

MousePointer::MousePointer(QWidget* window) : QObject(window), m_window(window) {}

void MousePointer::set(int value) {
    m_value = value;
    switch (value) {
    case Hourglass:
        m_window->setCursor(Qt::WaitCursor);
        break;
    case Custom:
        m_window->setCursor(m_custom.value_or(QCursor(Qt::PointingHandCursor)));
        break;
    default:
        m_window->setCursor(Qt::ArrowCursor);
        break;
    }
}

void MousePointer::arrowOver(QWidget* widget) {
    watch(widget, Rule::Arrow);
}
void MousePointer::handOver(QWidget* widget) {
    watch(widget, Rule::Hand);
}
void MousePointer::handAlwaysOver(QWidget* widget) {
    watch(widget, Rule::HandAlways);
}

void MousePointer::watch(QWidget* widget, Rule rule) {
    widget->setMouseTracking(true);
    widget->setProperty(RuleProperty, static_cast<int>(rule));
    widget->installEventFilter(this);
}

bool MousePointer::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        // A move over a child reaches its frame too when the child ignores it;
        // only the control right under the mouse counts.
        const auto* widget = static_cast<QWidget*>(watched);
        const auto* move = static_cast<QMouseEvent*>(event);
        if (widget->childAt(move->position().toPoint()) != nullptr) {
            return false;
        }
        switch (static_cast<Rule>(watched->property(RuleProperty).toInt())) {
        case Rule::Arrow:
            if (m_value != Hourglass) {
                set(Default);
            }
            break;
        case Rule::Hand:
            if (m_value != Hourglass) {
                set(Custom);
            }
            break;
        case Rule::HandAlways:
            set(Custom);
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vt
