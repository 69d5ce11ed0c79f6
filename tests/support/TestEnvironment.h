#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

namespace vt::test {

// Offscreen platform, a fresh config folder (XDG_CONFIG_HOME), a fresh TEMP and
// desktop folder, all inside one temporary folder removed at exit.
void isolateEnvironment();

// The temporary folder isolateEnvironment made.
QString sandboxFolder();

// Removes every stored setting, as on a fresh user account.
void clearSettings();

// Waits, running the event loop, until done() is true or timeoutMs passes.
bool waitUntil(const std::function<bool()>& done, int timeoutMs = 10000);

QByteArray readAll(const QString& path);
void writeAll(const QString& path, const QByteArray& bytes);

} // namespace vt::test
