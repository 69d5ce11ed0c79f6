#include "sources/reader/SourcesLog.h"

Q_LOGGING_CATEGORY(sourcesLog, "vellumtone.sources", QtWarningMsg)
