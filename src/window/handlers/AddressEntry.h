#pragma once

#include <QString>

namespace vt {

// The sample site the "Load Sample/Example Website" button reads.
inline constexpr char SampleAddress[] = "http://example.com/";

// The address box's text with "http://" put in front, unless "https://" or
// "http://" already occurs anywhere in it (in any letter case).
QString completeAddress(const QString& text);

// A syntax check of a completed address: an http or https address with a
// valid host (names, international names, IPv4 or IPv6) and, if given, a
// valid port; path, query and fragment are taken as browsers take them.
bool IsValidURL(const QString& address);

} // namespace vt
