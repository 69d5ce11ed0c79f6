#pragma once

#include <QLoggingCategory>

// What the ground floor (settings, temporary folders) notices, for a user's
// problem report: QT_LOGGING_RULES="vellumtone.core=true". Warnings only by default.
Q_DECLARE_LOGGING_CATEGORY(coreLog)
