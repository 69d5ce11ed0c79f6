#pragma once

#include "core/Failure.h"
#include "speech/voices/VoiceCatalogue.h"
#include "support/speechtext/PhonemeEngine.h"

namespace vt::test {

// The speech engine a test speaks with and its voice list, read at once. The
// engine keeps global state, so only one of these lives at a time.
struct TestSpeech {
    // dataRoot: a folder holding "espeak-ng-data"; "" for the installed voices.
    explicit TestSpeech(const QString& dataRoot = QString()) : engine(dataRoot), voices(engine) {
        try {
            voices.refresh();
        } catch (const Failure&) {
            // An engine that cannot start: the tests of that say so themselves.
        }
    }

    PhonemeEngine engine; // the program's engine, which also gives phonemes
    VoiceCatalogue voices;
};

} // namespace vt::test
