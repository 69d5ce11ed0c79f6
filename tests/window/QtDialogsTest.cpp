// The window's message boxes, as the user sees them: one function makes all
// three, so each kind's icon, caption and buttons are checked here.
#include "window/form/QtDialogs.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>
#include <ostream>

namespace vt {
namespace {

struct SeenBox {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
    Qt::TextFormat format = Qt::AutoText;
    QMessageBox::StandardButtons buttons;
    bool operator==(const SeenBox&) const = default;
};

void PrintTo(const SeenBox& box, std::ostream* out) {
    *out << "icon " << box.icon << ", title \"" << box.title.toStdString() << "\", text \""
         << box.text.toStdString() << "\", format " << box.format << ", buttons "
         << box.buttons.toInt();
}

// Shows the message of the kind and presses answer in the box it opens.
std::pair<SeenBox, bool> showAndPress(MessageKind kind, const QString& text,
                                      QMessageBox::StandardButton answer) {
    SeenBox seen;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = {box->icon(), box->windowTitle(), box->text(), box->textFormat(),
                box->standardButtons()};
        if (QAbstractButton* button = box->button(answer)) {
            button->click();
        } else {
            ADD_FAILURE() << "the box has no such button";
            box->reject(); // the test goes on instead of waiting on the box
        }
    });
    QtDialogs dialogs;
    const bool result = dialogs.message(kind, text);
    return {seen, result};
}

TEST(QtDialogsTest, EachMessageKindHasItsIconCaptionAndButtons) {
    const QString before = QGuiApplication::applicationDisplayName();
    QGuiApplication::setApplicationDisplayName("Reader Title");

    const auto [notice, noticeResult] =
        showAndPress(MessageKind::Notice, "Two\r\nlines", QMessageBox::Ok);
    EXPECT_EQ(notice, (SeenBox{QMessageBox::NoIcon, "Reader Title", "Two\nlines", Qt::PlainText,
                               QMessageBox::Ok}));
    EXPECT_FALSE(noticeResult);

    const auto [yes, yesResult] = showAndPress(MessageKind::Question, "Go?", QMessageBox::Yes);
    EXPECT_EQ(yes, (SeenBox{QMessageBox::NoIcon, "Reader Title", "Go?", Qt::PlainText,
                            QMessageBox::Yes | QMessageBox::No}));
    EXPECT_TRUE(yesResult);
    EXPECT_FALSE(showAndPress(MessageKind::Question, "Go?", QMessageBox::No).second);

    const auto [report, reportResult] =
        showAndPress(MessageKind::ErrorReport, "<b>not markup</b>\rnext", QMessageBox::Ok);
    EXPECT_EQ(report, (SeenBox{QMessageBox::Warning, "Application Error", "<b>not markup</b>\nnext",
                               Qt::PlainText, QMessageBox::Ok}));
    EXPECT_FALSE(reportResult);

    QGuiApplication::setApplicationDisplayName(before);
}

} // namespace
} // namespace vt
