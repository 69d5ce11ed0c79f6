#pragma once

#include "sources/reader/PageTextMode.h"

#include <QList>
#include <QObject>
#include <functional>

class QAction;
class QPoint;
class QWidget;

namespace vt {

class Dialogs;

inline constexpr char ArticleOnlyCaption[] = "Read the article only";

// The "Read the article only" choice: one checkable action in the context menus
// of the controls it is attached to, stored the moment it changes. The menus
// pop up without waiting for them.
class ArticleSwitch : public QObject {
    Q_OBJECT
  public:
    ArticleSwitch(Dialogs& dialogs, QObject* parent);

    // Adds the action to the widget's context menu, below a line edit's own
    // entries. first, when given, says which actions come before it, at the
    // moment the menu opens.
    void attachTo(QWidget* widget, std::function<QList<QAction*>()> first = {});
    // Takes the stored choice (at start).
    void load();
    PageTextMode mode() const;
    QAction* action() const { return m_action; }

  private:
    void store(bool checked);
    void showMenu(QWidget* widget, const QPoint& position, const QList<QAction*>& first);

    Dialogs& m_dialogs;
    QAction* m_action;
};

} // namespace vt
