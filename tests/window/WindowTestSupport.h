#pragma once

#include "speech/engine/EspeakEngine.h"
#include "support/RecordingDialogs.h"
#include "window/form/Form1.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <memory>

namespace vt::test {

// The speech engine for the windows a test has open: one engine however many
// windows, gone with the last of them.
inline std::shared_ptr<SpeechEngine> windowEngine() {
    static std::weak_ptr<SpeechEngine> current;
    std::shared_ptr<SpeechEngine> engine = current.lock();
    if (!engine) {
        engine = std::make_shared<EspeakEngine>();
        current = engine;
    }
    return engine;
}

// A main window on the offscreen platform, answered by recording dialogs,
// loaded from the current settings.
struct WindowFixture {
    std::shared_ptr<SpeechEngine> engine = windowEngine();
    RecordingDialogs dialogs;
    int drawnPercent = 50; // never the home-page visit unless a test asks
    std::unique_ptr<Form1> window;

    bool load() {
        window = std::make_unique<Form1>(*engine, dialogs, [this] { return drawnPercent; });
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
