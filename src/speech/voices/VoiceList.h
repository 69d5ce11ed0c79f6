#pragma once

#include <QString>

namespace vt {

class Dialogs;
class SettingsStore;
class VoiceCatalogue;

// The drop-down list of voices as FillVoiceList sees it; the window adapts
// its combo box to this.
class VoiceListView {
  public:
    virtual ~VoiceListView() = default;
    virtual void clear() = 0;
    virtual void addItem(const QString& text) = 0;
    virtual int count() const = 0;
    // -1 leaves the list without a selection.
    virtual void setCurrentIndex(int index) = 0;
};

// The remembered voice ("Combo1", as Val gives it) as the list selects it: its
// position, or -1 (no selection: the default voice) when the list of
// voiceCount voices has no such position or the number is negative.
int rememberedVoicePosition(double remembered, int voiceCount);

// Refreshes the catalogue, fills the list with its voices and selects the
// remembered one (setting "Combo1"; a position the list does not have, or a
// negative one, leaves no selection). Never throws: any failed step makes it
// return false, after the "no voices" notice unless quiet. When the engine
// cannot start at all the list and the catalogue keep their earlier entries.
bool FillVoiceList(VoiceListView& list, VoiceCatalogue& voices, SettingsStore& settings,
                   Dialogs& dialogs, bool quiet);

} // namespace vt
