// "Save Audio As MP3": the job runs on a worker; the window keeps Busy and the pointer.
#include "core/ProcedureTags.h"
#include "export/ExportRunner.h"
#include "window/WindowLog.h"
#include "window/form/Form1.h"
#include "window/form/MousePointer.h"

#include <QLineEdit>

namespace vt {

void Form1::PushButton8_Click() {
    if (m_busy) {
        return;
    }
    Procedure proc(m_dialogs, tag::PushButton8Click);
    m_busy = true;
    const ExportRequest request{Text1->text(), Text3->text(), voiceChoice(), pageTextMode()};
    qCDebug(windowLog) << "export asked for" << request.address;
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
}

} // namespace vt
