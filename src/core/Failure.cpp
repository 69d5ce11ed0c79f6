#include "Failure.h"

namespace vt {

Failure::Failure(const QString& description)
    : std::runtime_error(description.toStdString()), m_description(description) {}

QString describe(const std::exception& e) {
    if (const auto* failure = dynamic_cast<const Failure*>(&e)) {
        return failure->description();
    }
    return QString::fromUtf8(e.what());
}

} // namespace vt
