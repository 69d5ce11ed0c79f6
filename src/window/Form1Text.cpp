// The window's text handlers: the address box, the sample page, text files,
// clearing, and the output folder.
#include "Form1.h"
#include "MousePointer.h"
#include "core/Failure.h"
#include "core/FileUtils.h"
#include "core/ProcedureTags.h"
#include "sources/AddressEntry.h"
#include "sources/GetPageText.h"
#include "sources/PageFetcher.h"

#include <QDir>
#include <QFocusEvent>
#include <QFutureWatcher>
#include <QLineEdit>
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
    if (m_closing) {
        return;
    }
    // Completed at once, so a click that took the focus away reads the
    // completed address; the message waits until that click has been handled.
    Text1->setText(completeAddress(Text1->text()));
    if (!IsValidURL(Text1->text())) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_dialogs.notice(QStringLiteral("Invalid Website URL"));
                Text1->setFocus(Qt::OtherFocusReason);
            },
            Qt::QueuedConnection);
    }
}

void Form1::PushButton7_Click() {
    Procedure proc(m_dialogs, tag::PushButton7Click);
    proc.step(100, [&] { Text1->setText(QString::fromLatin1(SampleAddress)); });
    proc.step(104, [&] { setPointer(MousePointer::Hourglass); });
    auto* context = new QObject(this);
    m_sampleFetch = context;
    auto apply = [this, context](const PageFetchResult& result) {
        Procedure end(m_dialogs, tag::PushButton7Click);
        if (result.ok) {
            end.step(106, [&] { Text2->setPlainText(result.text); });
        } else {
            end.report(106, result.description);
        }
        end.step(108, [&] { setPointer(MousePointer::Default); });
        if (m_sampleFetch == context) {
            m_sampleFetch = nullptr;
        }
        context->deleteLater();
    };
    const bool started = proc.step(106, [&] {
        fetchPageTextAsync(Text1->text(), pageTextFolder(), context, apply, pageTextMode());
    });
    if (!started) {
        proc.step(108, [&] { setPointer(MousePointer::Default); });
        delete context;
        m_sampleFetch = nullptr;
    }
}

void Form1::PushButton4_Click() {
    Procedure proc(m_dialogs, tag::PushButton4Click);
    FileDialogRequest request;
    proc.step(100, [&] { request = FileDialogRequest{}; });
    proc.step(102, [&] { request.filters = TextFileFilters; });
    QString path;
    proc.step(104, [&] { path = m_dialogs.openFile(request); });
    if (proc.test(106, [&] { return path.isEmpty(); })) {
        return;
    }
    proc.step(108, [&] { setPointer(MousePointer::Hourglass); });
    proc.step(110, [&] { Text2->clear(); });
    proc.step(112, [&] { loadTextFile(path); });
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
    Procedure proc(m_dialogs, tag::PushButton4Click);
    for (const QString& chunk : chunks) {
        proc.step(116, [&] {
            QTextCursor end(Text2->document());
            end.movePosition(QTextCursor::End);
            end.insertText(chunk);
        });
    }
    proc.step(120, [&] { setPointer(MousePointer::Default); });
}

void Form1::PushButton5_Click() {
    Procedure proc(m_dialogs, tag::PushButton5Click);
    FileDialogRequest request;
    proc.step(106, [&] { request = FileDialogRequest{}; });
    proc.step(110, [&] { request.title = QStringLiteral("Save"); });
    proc.step(112, [&] { request.filters = TextFileFilters; });
    QString path;
    proc.step(114, [&] { path = m_dialogs.saveFile(request); });
    if (proc.test(118, [&] { return path.isEmpty(); })) {
        return;
    }
    proc.step(120, [&] { setPointer(MousePointer::Hourglass); });
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
            Procedure end(m_dialogs, tag::PushButton5Click);
            if (!failure.isEmpty()) {
                end.report(122, failure);
            }
            end.step(124, [&] { setPointer(MousePointer::Default); });
        });
}

void Form1::PushButton6_Click() {
    Procedure proc(m_dialogs, tag::PushButton6Click);
    proc.step(100, [&] { Text2->clear(); });
    proc.step(102, [&] { Text1->clear(); });
}

void Form1::PushButton9_Click() {
    Procedure proc(m_dialogs, tag::PushButton9Click);
    QString chosen;
    proc.step(100, [&] {
        const QString start = m_settings.read(QString::fromLatin1(key::LastFolderDot), QString());
        chosen = m_dialogs.browseForFolder(QStringLiteral("Please select folder:"), start);
    });
    if (proc.test(102, [&] { return chosen.isEmpty(); })) {
        return;
    }
    chosen = QDir::toNativeSeparators(chosen);
    proc.step(104, [&] { m_settings.write(QString::fromLatin1(key::LastFolderDot), chosen); });
    proc.step(106, [&] { Text3->setText(withTrailingSeparator(chosen)); });
}

void Form1::Text3_Change() {
    try {
        m_settings.write(QString::fromLatin1(key::Text3), Text3->text());
    } catch (const std::exception& e) {
        m_dialogs.notice(describe(e));
    }
}

} // namespace vt
