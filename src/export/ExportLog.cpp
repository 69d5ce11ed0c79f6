#include "ExportLog.h"

Q_LOGGING_CATEGORY(exportLog, "vellumtone.export", QtWarningMsg)
