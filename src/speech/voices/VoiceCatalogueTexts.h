#pragma once

#include <QString>

namespace vt {

// FillVoiceList's one failure message.
QString noVoicesMessage();
// "Refresh List" after a successful refill.
QString refreshDoneMessage();
// "Add Voices": the Yes/No question, and the web search opened on Yes.
QString addVoicesQuestion();
QString voiceSearchAddress();

} // namespace vt
