#pragma once

#include "window/Form1.h"
#include "support/RecordingDialogs.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <memory>

namespace vt::test {

// A main window on the offscreen platform, answered by recording dialogs,
// loaded from the current settings.
struct WindowFixture {
    RecordingDialogs dialogs;
    int drawnPercent = 50; // never the home-page visit unless a test asks
    std::unique_ptr<Form1> window;

    bool load() {
        window = std::make_unique<Form1>(dialogs, [this] { return drawnPercent; });
        const bool loaded = window->Form_Load();
        window->show();
        return loaded;
    }
};

// A mouse move with no button pressed, in the middle of the widget.
inline void moveOver(QWidget* widget, QPoint at = QPoint(-1, -1)) {
    const QPointF pos = at == QPoint(-1, -1) ? QPointF(widget->rect().center()) : QPointF(at);
    QMouseEvent move(QEvent::MouseMove, pos, widget->mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &move);
}

} // namespace vt::test
