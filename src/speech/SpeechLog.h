#pragma once

#include <QLoggingCategory>

// What the speech library does, for a user's problem report:
// QT_LOGGING_RULES="vellumtone.speech=true". Silent by default.
Q_DECLARE_LOGGING_CATEGORY(speechLog)
