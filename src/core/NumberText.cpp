#include "NumberText.h"

#include "Failure.h"

#include <cfenv>
#include <climits>
#include <cmath>

namespace vt {

double Val(const QString& text) {
    // Blanks, tabs and line feeds are skipped anywhere inside the number.
    QString compact;
    compact.reserve(text.size());
    for (QChar c : text) {
        if (c != u' ' && c != u'\t' && c != u'\n' && c != u'\r') {
            compact.append(c);
        }
    }
    qsizetype i = 0;
    const qsizetype n = compact.size();
    auto digitAt = [&](qsizetype k) {
        return k < n && compact[k].isDigit() && compact[k].unicode() < 128;
    };
    if (i < n && (compact[i] == u'+' || compact[i] == u'-')) {
        ++i;
    }
    qsizetype digits = 0;
    while (digitAt(i)) {
        ++i;
        ++digits;
    }
    if (i < n && compact[i] == u'.') {
        ++i;
        while (digitAt(i)) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) {
        return 0.0;
    }
    qsizetype end = i;
    if (i < n && (compact[i] == u'e' || compact[i] == u'E')) {
        qsizetype j = i + 1;
        if (j < n && (compact[j] == u'+' || compact[j] == u'-')) {
            ++j;
        }
        if (digitAt(j)) {
            while (digitAt(j)) {
                ++j;
            }
            end = j;
        }
    }
    bool ok = false;
    const double value = compact.left(end).toDouble(&ok);
    return ok ? value : 0.0;
}

int roundHalfEven(double value) {
    if (!std::isfinite(value) || value > INT_MAX || value < INT_MIN) {
        throw Failure(QStringLiteral("Overflow"));
    }
    const int saved = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value);
    std::fesetround(saved);
    return static_cast<int>(rounded);
}

} // namespace vt
