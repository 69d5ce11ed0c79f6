#pragma once

#include <QLoggingCategory>

// What the export does, for a user's problem report:
// QT_LOGGING_RULES="vellumtone.export=true". Silent by default.
Q_DECLARE_LOGGING_CATEGORY(exportLog)
