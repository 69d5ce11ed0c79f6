#include "ArticleSwitch.h"

#include "core/Dialogs.h"
#include "core/Failure.h"
#include "sources/reader/PageTextModeSetting.h"
#include "window/WindowLog.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QWidget>

namespace vt {

ArticleSwitch::ArticleSwitch(Dialogs& dialogs, QObject* parent)
    : QObject(parent), m_dialogs(dialogs),
      m_action(new QAction(QString::fromLatin1(ArticleOnlyCaption), this)) {
    m_action->setObjectName(QStringLiteral("ArticleOnly"));
    m_action->setCheckable(true);
    // Only a person's choice is stored, not the one read at start.
    connect(m_action, &QAction::triggered, this, &ArticleSwitch::store);
}

void ArticleSwitch::attachTo(QWidget* widget, std::function<QList<QAction*>()> first) {
    widget->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(widget, &QWidget::customContextMenuRequested, this,
            [this, widget, first = std::move(first)](const QPoint& position) {
                showMenu(widget, position, first ? first() : QList<QAction*>{});
            });
}

void ArticleSwitch::showMenu(QWidget* widget, const QPoint& position,
                             const QList<QAction*>& first) {
    auto* lineEdit = qobject_cast<QLineEdit*>(widget);
    QMenu* menu = lineEdit ? lineEdit->createStandardContextMenu() : new QMenu(widget);
    if (lineEdit) {
        menu->addSeparator();
    }
    if (!first.isEmpty()) {
        menu->addActions(first);
        menu->addSeparator();
    }
    menu->addAction(m_action);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(widget->mapToGlobal(position));
}

void ArticleSwitch::load() {
    m_action->setChecked(storedPageTextMode() == PageTextMode::ArticleOnly);
}

PageTextMode ArticleSwitch::mode() const {
    return m_action->isChecked() ? PageTextMode::ArticleOnly : PageTextMode::WholePage;
}

void ArticleSwitch::store(bool checked) {
    try {
        storePageTextMode(checked ? PageTextMode::ArticleOnly : PageTextMode::WholePage);
    } catch (const std::exception& e) {
        noticeFailure(m_dialogs, windowLog(), describe(e));
    }
}

} // namespace vt
