#pragma once

#include <QString>

namespace vt {

// The leading number of a text: optional blanks, sign, digits, decimal point,
// exponent; whatever follows is ignored. No leading number gives 0.
double Val(const QString& text);

// Nearest whole number, a half going to the even neighbour (2.5 -> 2, 3.5 -> 4).
// Out of the int range fails.
int roundHalfEven(double value);

} // namespace vt
