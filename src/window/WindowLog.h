#pragma once

#include <QLoggingCategory>

// What the window does, for a user's problem report:
// QT_LOGGING_RULES="vellumtone.window=true". Silent by default.
Q_DECLARE_LOGGING_CATEGORY(windowLog)
