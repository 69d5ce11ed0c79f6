#include "ListVoicesCommand.h"

#include "core/Failure.h"
#include "speech/voices/VoiceCatalogue.h"

#include <QTextStream>

namespace vt {

int listVoicesCommand(SpeechEngine& engine, QTextStream& out, QTextStream& err) {
    try {
        VoiceCatalogue voices(engine);
        voices.refresh();
        const QStringList names = voices.voiceNames();
        for (qsizetype i = 0; i < names.size(); ++i) {
            out << i << ' ' << names[i] << '\n';
        }
        out.flush();
        return 0;
    } catch (const std::exception& failure) {
        err << "The voices cannot be listed: " << describe(failure) << '\n';
        err.flush();
        return 1;
    }
}

} // namespace vt
