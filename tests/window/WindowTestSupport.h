#pragma once

#include "speech/engine/EspeakEngine.h"
#include "support/RecordingDialogs.h"
#include "support/TestEnvironment.h"
#include "window/form/Form1.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDir>
#include <QMenu>
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

// Asks the widget for its context menu as a right click would, and returns
// the menu that pops up (closed again by the caller), or null.
inline QMenu* openContextMenu(QWidget* widget) {
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(4, 4),
                            widget->mapToGlobal(QPoint(4, 4)));
    QCoreApplication::sendEvent(widget, &event);
    waitUntil([] { return QApplication::activePopupWidget() != nullptr; }, 2000);
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

// The menu's entry with this text, or null.
inline QAction* actionIn(QMenu* menu, const QString& text) {
    for (QAction* action : menu->actions()) {
        if (action->text() == text) {
            return action;
        }
    }
    return nullptr;
}

// What lies in the temporary folder the tests give the program.
inline QStringList leftoversInTemp() {
    return QDir(qEnvironmentVariable("TEMP")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
}

} // namespace vt::test
