// Val and roundHalfEven on arbitrary text: never crash, never read past the
// text, and a value read back from its own shortest form is the same value.
#include "core/Failure.h"
#include "core/NumberText.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const double value = vt::Val(text);
    if (std::isfinite(value)) {
        const double again = vt::Val(QString::number(value, 'g', 17));
        if (again != value) {
            std::abort();
        }
        // Whatever follows a number does not change it.
        if (vt::Val(QString::number(value, 'g', 17) + QStringLiteral(" x")) != value) {
            std::abort();
        }
    }
    try {
        const int rounded = vt::roundHalfEven(value);
        if (std::fabs(static_cast<double>(rounded) - value) > 0.5) {
            std::abort();
        }
    } catch (const vt::Failure&) {
        if (std::isfinite(value) && std::fabs(value) < 2147483647.0) {
            std::abort(); // only out of range may fail
        }
    }
    return 0;
}
