#include "SilenceableDialogs.h"

namespace vt {

void SilenceableDialogs::notice(const QString& text) {
    if (!m_silenced) {
        m_target.notice(text);
    }
}
bool SilenceableDialogs::question(const QString& text) {
    return !m_silenced && m_target.question(text);
}
void SilenceableDialogs::errorReport(const QString& text) {
    if (!m_silenced) {
        m_target.errorReport(text);
    }
}
QString SilenceableDialogs::openFile(const FileDialogRequest& request) {
    return m_silenced ? QString() : m_target.openFile(request);
}
QString SilenceableDialogs::saveFile(const FileDialogRequest& request) {
    return m_silenced ? QString() : m_target.saveFile(request);
}
QString SilenceableDialogs::browseForFolder(const QString& prompt, const QString& startFolder) {
    return m_silenced ? QString() : m_target.browseForFolder(prompt, startFolder);
}
bool SilenceableDialogs::openUrl(const QString& url) {
    return !m_silenced && m_target.openUrl(url);
}

} // namespace vt
