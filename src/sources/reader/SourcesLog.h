#pragma once

#include <QLoggingCategory>

// What the page sources do, for a user's problem report:
// QT_LOGGING_RULES="vellumtone.sources=true". Silent by default.
Q_DECLARE_LOGGING_CATEGORY(sourcesLog)
