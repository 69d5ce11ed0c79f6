#include "VoiceCatalogueTexts.h"

namespace vt {

QString noVoicesMessage() {
    return QStringLiteral(
        "No voices found within the 'Text to Speech' feature in the Windows Control Panel.");
}

QString refreshDoneMessage() {
    return QStringLiteral("Done.") + QStringLiteral("\r\r") +
           QStringLiteral("List has been refreshed with the latest voices found within the 'Text "
                          "to Speech' feature in the Windows Control Panel.");
}

QString addVoicesQuestion() {
    const QString lineBreak = QStringLiteral("\r\n");
    return QStringLiteral("This software uses Microsoft Text to Speech (TTS) as its backbone. If "
                          "you would like to add voices, you need to:") +
           lineBreak + lineBreak + QStringLiteral("1. Download them from the web.") + lineBreak +
           QStringLiteral(
               "2. Install them to the 'Text to Speech' feature in the Windows Control Panel.") +
           lineBreak + QStringLiteral("2. Click the 'Refresh List' button in this software.") +
           lineBreak + lineBreak +
           QStringLiteral("Would you like to see the voices available for download on the web?");
}

QString voiceSearchAddress() {
    return QStringLiteral("https://duckduckgo.com/?q=microsoft%20text%20to%20speech%20voices");
}

} // namespace vt
