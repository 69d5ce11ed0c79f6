#include "StartupActions.h"

#include "OptionalFiles.h"
#include "core/Dialogs.h"
#include "core/Failure.h"
#include "core/files/FileUtils.h"
#include "core/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QWidget>

namespace vt {

void OpenHomePageAtRandom(Dialogs& dialogs, const std::function<int()>& randomPercent) {
    if (randomPercent() == 7) {
        dialogs.openUrl(QString::fromLatin1(HomePageAddress));
    }
}

QString appTitleFor(const QString& displayName) {
    QString title = displayName;
    if (!title.contains(u' ')) {
        return title;
    }
    do {
        const qsizetype blank = title.lastIndexOf(u' ');
        title = blank >= 0 ? title.left(blank) : title.left(40);
    } while (title.size() > 40);
    return title;
}

void SetAppTitle() {
    QGuiApplication::setApplicationDisplayName(appTitleFor(QString::fromLatin1(ProductName)));
}

QIcon productIcon() {
    // A speaker with sound waves, drawn so the program needs no image file.
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(0x2d, 0x5b, 0x8c));
    painter.setPen(Qt::NoPen);
    QPainterPath speaker;
    speaker.moveTo(8, 24);
    speaker.lineTo(20, 24);
    speaker.lineTo(34, 10);
    speaker.lineTo(34, 54);
    speaker.lineTo(20, 40);
    speaker.lineTo(8, 40);
    speaker.closeSubpath();
    painter.drawPath(speaker);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0x2d, 0x5b, 0x8c), 4, Qt::SolidLine, Qt::RoundCap));
    painter.drawArc(QRectF(30, 20, 16, 24), -60 * 16, 120 * 16);
    painter.drawArc(QRectF(30, 10, 28, 44), -60 * 16, 120 * 16);
    return QIcon(pixmap);
}

void ApplySkin(QWidget* window) {
    const QString path = optionalFilePath(QString::fromLatin1(SkinFile));
    if (!QFileInfo::exists(path)) {
        return;
    }
    const QColor buttonFace = window->palette().color(QPalette::Button);
    auto paint = [&](QWidget* widget) {
        QPalette palette = widget->palette();
        palette.setColor(QPalette::Window, buttonFace);
        widget->setPalette(palette);
    };
    paint(window);
    for (QGroupBox* frame : window->findChildren<QGroupBox*>()) {
        paint(frame);
    }
    for (QLabel* label : window->findChildren<QLabel*>()) {
        paint(label);
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw Failure(QStringLiteral("The skin file \"%1\" cannot be read: %2")
                          .arg(QDir::toNativeSeparators(path), file.errorString()));
    }
    const QByteArray bytes = file.readAll();
    if (bytes.contains('\0') || !isValidUtf8(bytes)) {
        throw Failure(
            QStringLiteral("The skin file \"%1\" is damaged").arg(QDir::toNativeSeparators(path)));
    }
    window->setStyleSheet(QString::fromUtf8(bytes));
}

} // namespace vt
