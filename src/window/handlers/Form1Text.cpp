// The window's text handlers: the address box, the sample page, text files,
// clearing, and the output folder.
#include "core/Failure.h"
#include "core/ProcedureTags.h"
#include "core/files/FileUtils.h"
#include "sources/reader/GetPageText.h"
#include "sources/reader/PageReader.h"
#include "window/WindowLog.h"
#include "window/form/Form1.h"
#include "window/form/MousePointer.h"
#include "window/form/WindowSteps.h"
#include "window/handlers/AddressEntry.h"

#include <QDir>
#include <QFocusEvent>
#include <QFutureWatcher>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QtConcurrent>

namespace vt {

namespace {

const QStringList TextFileFilters = {QStringLiteral("Text Files (*.txt)"),
                                     QStringLiteral("All Files (*)")};

// Runs work on a worker thread and then done on the window thread, unless the
// window has gone by then.
template <typename T, typename Work, typename Done>
void runOffWindowThread(QObject* owner, Work work, Done done) {
    auto* watcher = new QFutureWatcher<T>(owner);
    QObject::connect(watcher, &QFutureWatcher<T>::finished, owner, [watcher, done] {
        done(watcher->result());
        watcher->deleteLater();
    });
    watcher->setFuture(QtConcurrent::run(std::move(work)));
}

} // namespace

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Text1 && event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // Only a move to another control of this window counts.
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
            reason == Qt::MouseFocusReason || reason == Qt::OtherFocusReason ||
            reason == Qt::ShortcutFocusReason) {
            Text1_LostFocus();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::Text1_LostFocus() {
    if (closing()) {
        return;
    }
    // Completed at once, so a click that took the focus away reads the
    // completed address; the message waits until that click has been handled.
    Text1->setText(completeAddress(Text1->text()));
    if (!IsValidURL(Text1->text())) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                noticeFailure(m_dialogs, windowLog(), QStringLiteral("Invalid Website URL"));
                Text1->setFocus(Qt::OtherFocusReason);
            },
            Qt::QueuedConnection);
    }
}

void Form1::PushButton7_Click() {
    Procedure proc(m_dialogs, tag::PushButton7Click);
    Text1->setText(QString::fromLatin1(SampleAddress));
    setPointer(MousePointer::Hourglass);
    auto* context = new QObject(this);
    m_sampleFetch = context;
    auto apply = [this, context](const PageRead& result) {
        Procedure end(m_dialogs, tag::PushButton7Click);
        if (result.ok) {
            Text2->setPlainText(result.text);
        } else {
            qCDebug(windowLog) << "sample page not fetched:" << result.description;
            end.report(SampleStep::FetchAndShow, result.description);
        }
        setPointer(MousePointer::Default);
        if (m_sampleFetch == context) {
            m_sampleFetch = nullptr;
        }
        context->deleteLater();
    };
    const bool started = proc.step(SampleStep::FetchAndShow, [&] {
        fetchPageTextAsync(Text1->text(), pageTextFolder(), context, apply, pageTextMode());
    });
    if (!started) {
        setPointer(MousePointer::Default);
        delete context;
        m_sampleFetch = nullptr;
    }
}

void Form1::PushButton4_Click() {
    Procedure proc(m_dialogs, tag::PushButton4Click);
    QString path;
    proc.step(LoadTextStep::ChooseFile,
              [&] { path = m_dialogs.openFile({.title = {}, .filters = TextFileFilters}); });
    if (path.isEmpty()) {
        return;
    }
    setPointer(MousePointer::Hourglass);
    Text2->clear();
    proc.step(LoadTextStep::ReadFile, [&] { loadTextFile(path); });
}

void Form1::loadTextFile(const QString& path) {
    // The file is read on a worker; its own reports still come to this window.
    auto* workerDialogs = new ThreadSafeDialogs(m_dialogs);
    runOffWindowThread<QStringList>(
        this, [path, workerDialogs] { return ReadFileToStringFSO(path, *workerDialogs); },
        [this, workerDialogs](const QStringList& chunks) {
            delete workerDialogs;
            appendChunks(chunks);
        });
}

void Form1::appendChunks(const QStringList& chunks) {
    for (const QString& chunk : chunks) {
        QTextCursor end(Text2->document());
        end.movePosition(QTextCursor::End);
        end.insertText(chunk);
    }
    setPointer(MousePointer::Default);
}

void Form1::PushButton5_Click() {
    Procedure proc(m_dialogs, tag::PushButton5Click);
    QString path;
    proc.step(SaveTextStep::ChooseFile, [&] {
        path = m_dialogs.saveFile({.title = QStringLiteral("Save"), .filters = TextFileFilters});
    });
    if (path.isEmpty()) {
        return;
    }
    setPointer(MousePointer::Hourglass);
    const QString text = Text2->toPlainText();
    runOffWindowThread<QString>(
        this,
        [text, path]() -> QString {
            try {
                WriteTextToFile(text, path);
                return QString();
            } catch (const std::exception& e) {
                return describe(e);
            }
        },
        [this](const QString& failure) {
            if (!failure.isEmpty()) {
                Procedure(m_dialogs, tag::PushButton5Click)
                    .report(SaveTextStep::WriteFile, failure);
            }
            setPointer(MousePointer::Default);
        });
}

void Form1::showTextBoxMenu(const QPoint& position) {
    QMenu* menu = Text2->createStandardContextMenu();
    menu->addSeparator();
    menu->addAction(QString::fromLatin1(ReadThisTextCaption), this, &Form1::ReadThisText)
        ->setObjectName(QStringLiteral("ReadThisText"));
    menu->addAction(QString::fromLatin1(SaveThisTextCaption), this, &Form1::SaveThisTextAsMp3)
        ->setObjectName(QStringLiteral("SaveThisTextAsMp3"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // Popped up, not run: the window thread goes on while the menu is open.
    menu->popup(Text2->viewport()->mapToGlobal(position));
}

void Form1::PushButton6_Click() {
    Text2->clear();
    Text1->clear();
}

void Form1::PushButton9_Click() {
    Procedure proc(m_dialogs, tag::PushButton9Click);
    QString chosen;
    proc.step(ChooseFolderStep::Browse, [&] {
        const QString start = m_settings.read(QString::fromLatin1(key::LastFolderDot), QString());
        chosen = m_dialogs.browseForFolder(QStringLiteral("Please select folder:"), start);
    });
    if (chosen.isEmpty()) {
        return;
    }
    chosen = QDir::toNativeSeparators(chosen);
    proc.step(ChooseFolderStep::StoreSetting,
              [&] { m_settings.write(QString::fromLatin1(key::LastFolderDot), chosen); });
    Text3->setText(withTrailingSeparator(chosen));
}

void Form1::Text3_Change() {
    try {
        m_settings.write(QString::fromLatin1(key::Text3), Text3->text());
    } catch (const std::exception& e) {
        noticeFailure(m_dialogs, windowLog(), describe(e));
    }
}

} // namespace vt
