// "Save Audio As MP3": the job runs on a worker; the window keeps Busy and the pointer.
#include "core/ProcedureTags.h"
#include "export/ExportRunner.h"
#include "window/WindowLog.h"
#include "window/form/Form1.h"
#include "window/form/MousePointer.h"

#include <QLineEdit>
#include <QPlainTextEdit>

namespace vt {

void Form1::PushButton8_Click() {
    startExport(std::nullopt);
}

void Form1::SaveThisTextAsMp3() {
    startExport(Text2->toPlainText());
}

// The export of the page at the address, or of the text given.
void Form1::startExport(std::optional<QString> text) {
    if (m_busy) {
        return;
    }
    Procedure proc(m_dialogs, tag::PushButton8Click);
    m_busy = true;
    ExportRequest request{Text1->text(), Text3->text(), voiceChoice(), pageTextMode()};
    if (text) {
        request.address.clear(); // the address plays no part: no fetch, no tag of it
        request.givenText = std::move(text);
    }
    qCDebug(windowLog) << "export asked for"
                       << (request.givenText ? "the text box" : request.address);
    if (!proc.step(ExportStep::StartJob, [&] { m_export->start(request, m_voices, m_dialogs); })) {
        onExportFinished(ExportResult{});
    }
}

void Form1::onExportFinished(const ExportResult& result) {
    qCDebug(windowLog) << "export finished; MP3 made:" << result.mp3Made;
    if (closing()) {
        emit closed();
        return;
    }
    if (mousePointer() == MousePointer::Hourglass) { // the job ended without its closing step
        setPointer(MousePointer::Default);
    }
    m_busy = false;
    if (result.mp3Made) {
        emit exportSaved(result.mp3Path);
    }
}

void Form1::CancelExport() {
    if (!m_export->isRunning() || closing()) {
        return;
    }
    qCDebug(windowLog) << "export cancelled from its menu";
    m_export->cancel(); // finished() follows once the job has cleaned up
}

} // namespace vt
