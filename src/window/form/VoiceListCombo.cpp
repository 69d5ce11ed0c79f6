#include "VoiceListCombo.h"

#include <QComboBox>

namespace vt {

void VoiceListCombo::clear() {
    m_combo->clear();
}
void VoiceListCombo::addItem(const QString& text) {
    m_combo->addItem(text);
}
int VoiceListCombo::count() const {
    return m_combo->count();
}
void VoiceListCombo::setCurrentIndex(int index) {
    m_combo->setCurrentIndex(index);
}

} // namespace vt
