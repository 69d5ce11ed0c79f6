#include "QtDialogs.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QUrl>

namespace vt {

QString applicationTitle() {
    return QGuiApplication::applicationDisplayName();
}

bool QtDialogs::message(MessageKind kind, const QString& text) {
    const bool report = kind == MessageKind::ErrorReport;
    const bool question = kind == MessageKind::Question;
    QMessageBox box(report ? QMessageBox::Warning : QMessageBox::NoIcon,
                    report ? QStringLiteral("Application Error") : applicationTitle(),
                    withLineFeeds(text),
                    question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, m_owner);
    box.setTextFormat(Qt::PlainText);
    return box.exec() == QMessageBox::Yes;
}

QString QtDialogs::chooseFile(FileDialogKind kind, const FileDialogRequest& request) {
    const QString filters = request.filters.join(QStringLiteral(";;"));
    if (kind == FileDialogKind::Open) {
        return QFileDialog::getOpenFileName(m_owner, request.title, QString(), filters);
    }
    // The file is replaced without a question, and no extension is added.
    return QFileDialog::getSaveFileName(m_owner, request.title, QString(), filters, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

QString QtDialogs::browseForFolder(const QString& prompt, const QString& startFolder) {
    return QFileDialog::getExistingDirectory(m_owner, prompt, startFolder);
}

bool QtDialogs::openUrl(const QString& url) {
    return QDesktopServices::openUrl(QUrl(url));
}

} // namespace vt
