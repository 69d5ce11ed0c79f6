#pragma once

#include <QString>
#include <exception>
#include <functional>
#include <optional>
#include <type_traits>

namespace vt {

class Dialogs;

inline constexpr char SupportAddress[] = "support@quillmere.example";

// The report text: description, CR LF, tag, "at line ", step, CR, CR, request line.
QString buildErrorReport(const QString& description, const QString& tag, int step);

// A procedure's step numbers: an enum class per procedure whose values are the
// numbers its report shows.
template <typename T>
concept StepNumber = std::is_enum_v<T> && std::is_same_v < std::underlying_type_t<T>,
int > ;

// Runs the numbered steps of one reporting procedure. A step that fails is
// reported with this procedure's tag and that step's number, and the procedure
// goes on with its next step. A failure inside a called helper ends that helper
// and is reported here, under the caller's step. Steps that cannot fail are
// plain statements and need no number.
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

    template <StepNumber S> bool step(S number, const std::function<void()>& action) {
        return step(static_cast<int>(number), action);
    }
    template <StepNumber S> bool test(S number, const std::function<bool()>& condition) {
        return test(static_cast<int>(number), condition);
    }
    template <StepNumber S, typename T, typename F> bool assign(S number, T& target, F&& compute) {
        return assign(static_cast<int>(number), target, std::forward<F>(compute));
    }
    template <StepNumber S> void report(S number, const QString& description) {
        report(static_cast<int>(number), description);
    }

    struct Reported {
        int step = 0;
        QString description;
    };
    // The first failure reported, if any.
    const std::optional<Reported>& firstReport() const { return m_firstReport; }
    int reportCount() const { return m_reports; }
    int currentStep() const { return m_step; }
    QString tag() const { return m_tag; }

  private:
    Dialogs& m_dialogs;
    QString m_tag;
    int m_step = 0;
    int m_reports = 0;
    std::optional<Reported> m_firstReport;
};

} // namespace vt
