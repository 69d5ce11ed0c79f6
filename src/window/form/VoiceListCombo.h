#pragma once

#include "speech/voices/VoiceList.h"

class QComboBox;

namespace vt {

// The voice list as the voice catalogue fills it.
class VoiceListCombo final : public VoiceListView {
  public:
    explicit VoiceListCombo(QComboBox* combo) : m_combo(combo) {}
    void clear() override;
    void addItem(const QString& text) override;
    int count() const override;
    void setCurrentIndex(int index) override;

  private:
    QComboBox* m_combo;
};

} // namespace vt
