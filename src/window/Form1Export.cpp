// "Save Audio As MP3": the job runs on a worker; the window keeps Busy and the pointer.
#include "Form1.h"
#include "MousePointer.h"
#include "core/ProcedureTags.h"
#include "export/ExportRunner.h"

#include <QLineEdit>

namespace vt {

void Form1::PushButton8_Click() {
    Procedure proc(m_dialogs, tag::PushButton8Click);
    if (proc.test(100, [&] { return m_busy; })) {
        return;
    }
    proc.step(102, [&] { m_busy = true; });
    const ExportRequest request{Text1->text(), Text3->text(), voiceChoice(), pageTextMode()};
    if (!proc.step(114, [&] { m_export->start(request, m_dialogs); })) {
        onExportFinished(ExportResult{});
    }
}

void Form1::onExportFinished(const ExportResult&) {
    if (m_closing) {
        emit closed();
        return;
    }
    Procedure proc(m_dialogs, tag::PushButton8Click);
    if (mousePointer() == MousePointer::Hourglass) { // the job ended without its closing step
        proc.step(184, [&] { setPointer(MousePointer::Default); });
    }
    proc.step(192, [&] { m_busy = false; });
}

} // namespace vt
