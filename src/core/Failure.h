#pragma once

#include <QString>
#include <stdexcept>

namespace vt {

// A failed operation, carrying the description the operation gives of itself.
// Every reporting procedure catches these (and any std::exception) per step.
class Failure : public std::runtime_error {
  public:
    explicit Failure(const QString& description);
    QString description() const { return m_description; }

  private:
    QString m_description;
};

// A write that failed because the volume has no room left.
class DiskFullFailure : public Failure {
  public:
    using Failure::Failure;
};

// The description of any exception caught by a step.
QString describe(const std::exception& e);

} // namespace vt
