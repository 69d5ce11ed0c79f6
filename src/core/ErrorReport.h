#pragma once

#include <QString>
#include <exception>
#include <functional>

namespace vt {

class Dialogs;

inline constexpr char SupportAddress[] = "support@quillmere.example";

// The report text: description, CR LF, tag, "at line ", step, CR, CR, request line.
QString buildErrorReport(const QString& description, const QString& tag, int step);

// Runs the numbered steps of one reporting procedure. A step that fails is
// reported with this procedure's tag and that step's number, and the procedure
// goes on with its next step. A failure inside a called helper ends that helper
// and is reported here, under the caller's step.
class Procedure {
  public:
    Procedure(Dialogs& dialogs, const char* tag);

    // Runs one step; false when it failed (and was reported).
    bool step(int number, const std::function<void()>& action);

    // A numbered test. A test that fails to evaluate counts as true, so the
    // branch or loop body it guards runs.
    bool test(int number, const std::function<bool()>& condition);

    // Assigns the result of compute to target; on failure target keeps its value.
    template <typename T, typename F> bool assign(int number, T& target, F&& compute) {
        return step(number, [&] { target = compute(); });
    }

    // Reports a failure that was caught elsewhere, under the given step.
    void report(int number, const QString& description);

    int reportCount() const { return m_reports; }
    int currentStep() const { return m_step; }
    QString tag() const { return m_tag; }

  private:
    Dialogs& m_dialogs;
    QString m_tag;
    int m_step = 0;
    int m_reports = 0;
};

} // namespace vt
