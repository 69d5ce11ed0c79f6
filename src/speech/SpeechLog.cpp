#include "SpeechLog.h"

Q_LOGGING_CATEGORY(speechLog, "vellumtone.speech", QtWarningMsg)
