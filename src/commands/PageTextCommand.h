#pragma once

#include "sources/reader/PageTextMode.h"

#include <QString>
#include <QStringList>

class QTextStream;

namespace vt {

// The address a command-line argument names: a plain path to a local file
// (absolute or relative, no scheme) as its file: address, anything else as
// it is.
QString commandAddress(const QString& argument);

// "vellumtone --text ADDRESS": writes exactly the text GetPageText returns for
// the address (in the given mode) to out (UTF-8, nothing added) and returns 0; on failure writes
// the description and a line feed to err and returns 1. The page text file
// goes to a private temporary folder that is removed afterwards. Blocks the
// calling thread (the fetch runs on a thread of its own); meant for a program
// run without a window.
int printPageTextCommand(const QString& address, QTextStream& out, QTextStream& err,
                         PageTextMode mode = PageTextMode::WholePage);

// The same for the arguments that follow --text: ADDRESS, and --article or
// --whole-page anywhere beside it (without either, the stored choice decides).
int pageTextCommand(QStringList arguments, QTextStream& out, QTextStream& err);
// Whether the arguments that follow --text are fit for pageTextCommand.
bool isPageTextCommand(QStringList arguments);

} // namespace vt
