#include "ErrorReport.h"

#include "CoreLog.h"
#include "Dialogs.h"
#include "Failure.h"

namespace vt {

QString buildErrorReport(const QString& description, const QString& tag, int step) {
    return description + QStringLiteral("\r\n") + tag + QStringLiteral("at line ") +
           QString::number(step) + QStringLiteral("\r\r") +
           QStringLiteral("Please email screenshot of this message to ") +
           QLatin1String(SupportAddress);
}

Procedure::Procedure(Dialogs& dialogs, const char* tag)
    : m_dialogs(dialogs), m_tag(QString::fromLatin1(tag)) {}

void Procedure::report(int number, const QString& description) {
    ++m_reports;
    qCWarning(coreLog).noquote() << m_tag + QStringLiteral("at line") << number
                                 << "reported:" << description;
    if (!m_firstReport) {
        m_firstReport = Reported{number, description};
    }
    m_dialogs.errorReport(buildErrorReport(description, m_tag, number));
}

bool Procedure::step(int number, const std::function<void()>& action) {
    m_step = number;
    try {
        action();
        return true;
    } catch (const std::exception& e) {
        report(number, describe(e));
    } catch (...) {
        report(number, QStringLiteral("Unknown failure"));
    }
    return false;
}

bool Procedure::test(int number, const std::function<bool()>& condition) {
    bool result = true;
    step(number, [&] { result = condition(); });
    return result;
}

} // namespace vt
