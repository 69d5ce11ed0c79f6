#include "CoreLog.h"

Q_LOGGING_CATEGORY(coreLog, "vellumtone.core", QtWarningMsg)
