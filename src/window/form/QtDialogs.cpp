#include "QtDialogs.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QUrl>

namespace vt {

namespace {

int showBox(QWidget* owner, QMessageBox::Icon icon, const QString& title, const QString& text,
            QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, title, withLineFeeds(text), buttons, owner);
    box.setTextFormat(Qt::PlainText);
    return box.exec();
}

} // namespace

QString applicationTitle() {
    return QGuiApplication::applicationDisplayName();
}

void QtDialogs::notice(const QString& text) {
    showBox(m_owner, QMessageBox::NoIcon, applicationTitle(), text, QMessageBox::Ok);
}

bool QtDialogs::question(const QString& text) {
    return showBox(m_owner, QMessageBox::NoIcon, applicationTitle(), text,
                   QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void QtDialogs::errorReport(const QString& text) {
    showBox(m_owner, QMessageBox::Warning, QStringLiteral("Application Error"), text,
            QMessageBox::Ok);
}

QString QtDialogs::openFile(const FileDialogRequest& request) {
    return QFileDialog::getOpenFileName(m_owner, request.title, QString(),
                                        request.filters.join(QStringLiteral(";;")));
}

QString QtDialogs::saveFile(const FileDialogRequest& request) {
    // The file is replaced without a question, and no extension is added.
    return QFileDialog::getSaveFileName(m_owner, request.title, QString(),
                                        request.filters.join(QStringLiteral(";;")), nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

QString QtDialogs::browseForFolder(const QString& prompt, const QString& startFolder) {
    return QFileDialog::getExistingDirectory(m_owner, prompt, startFolder);
}

bool QtDialogs::openUrl(const QString& url) {
    return QDesktopServices::openUrl(QUrl(url));
}

} // namespace vt
