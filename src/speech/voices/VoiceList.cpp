#include "VoiceList.h"

#include "VoiceCatalogue.h"
#include "VoiceCatalogueTexts.h"
#include "core/Dialogs.h"
#include "core/NumberText.h"
#include "core/SettingsStore.h"
#include "speech/SpeechLog.h"

namespace vt {

namespace {

// Runs one step the quiet way: a failure is only remembered.
template <typename F> bool quietly(bool& failed, F&& step) {
    try {
        step();
        return true;
    } catch (...) {
        failed = true;
        return false;
    }
}

} // namespace

int rememberedVoicePosition(double remembered, int voiceCount) {
    if (remembered >= voiceCount || remembered < -1.0) {
        return -1;
    }
    const int position = roundHalfEven(remembered);
    return position < 0 || position >= voiceCount ? -1 : position;
}

bool FillVoiceList(VoiceListView& list, VoiceCatalogue& voices, SettingsStore& settings,
                   Dialogs& dialogs, bool quiet) {
    bool failed = false;
    if (quietly(failed, [&] { voices.refresh(); })) {
        quietly(failed, [&] { list.clear(); });
        quietly(failed, [&] {
            for (const QString& name : voices.voiceNames()) {
                list.addItem(name);
            }
        });
        double remembered = 0;
        quietly(failed, [&] { remembered = Val(settings.read(key::Combo1, QStringLiteral("0"))); });
        quietly(failed,
                [&] { list.setCurrentIndex(rememberedVoicePosition(remembered, list.count())); });
    }
    if (failed && !quiet) {
        quietly(failed, [&] { noticeFailure(dialogs, speechLog(), noVoicesMessage()); });
    }
    return !failed;
}

} // namespace vt
