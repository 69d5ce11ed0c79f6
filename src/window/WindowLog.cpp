#include "WindowLog.h"

Q_LOGGING_CATEGORY(windowLog, "vellumtone.window", QtWarningMsg)
