#include "VoiceCatalogueTexts.h"

namespace vt {

// The voices come from eSpeak NG's voice data; more arrive as the
// distribution's espeak-ng and mbrola voice packages.

QString noVoicesMessage() {
    return QStringLiteral("No voices found within the eSpeak NG voice data (the espeak-ng-data "
                          "package) on this computer.");
}

QString refreshDoneMessage() {
    return QStringLiteral("Done.") + QStringLiteral("\r\r") +
           QStringLiteral("List has been refreshed with the latest voices found within the eSpeak "
                          "NG voice data on this computer.");
}

QString addVoicesQuestion() {
    const QString lineBreak = QStringLiteral("\r\n");
    return QStringLiteral("This software uses eSpeak NG Text to Speech (TTS) as its backbone. If "
                          "you would like to add voices, you need to:") +
           lineBreak + lineBreak +
           QStringLiteral("1. Find them on the web or among your distribution's packages "
                          "(espeak-ng-data, mbrola and its voices such as mbrola-us1).") +
           lineBreak +
           QStringLiteral("2. Install them with your package manager, for example: sudo apt "
                          "install mbrola mbrola-us1") +
           lineBreak + QStringLiteral("3. Click the 'Refresh List' button in this software.") +
           lineBreak + lineBreak +
           QStringLiteral("Would you like to see the voices available for download on the web?");
}

QString voiceSearchAddress() {
    return QStringLiteral("https://duckduckgo.com/?q=espeak%20ng%20voices");
}

} // namespace vt
