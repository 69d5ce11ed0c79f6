#pragma once

#include "speech/voices/VoiceList.h"

#include <QStringList>

namespace vt::test {

// Stands in for the window's combo box: keeps the entries and the selection.
class RecordingVoiceList final : public VoiceListView {
  public:
    void clear() override {
        items.clear();
        current = -1;
        ++clears;
    }
    void addItem(const QString& text) override { items.append(text); }
    int count() const override { return static_cast<int>(items.size()); }
    void setCurrentIndex(int index) override { current = index; }

    QStringList items;
    int current = -1;
    int clears = 0;
};

} // namespace vt::test
