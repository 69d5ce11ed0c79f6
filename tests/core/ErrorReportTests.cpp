#include "core/Dialogs.h"
#include "core/ErrorReport.h"
#include "core/Failure.h"
#include "core/ProcedureTags.h"
#include "support/RecordingDialogs.h"
#include "support/TestEnvironment.h"

#include <QThread>
#include <gtest/gtest.h>

using vt::test::RecordingDialogs;
using Kind = RecordingDialogs::Kind;

TEST(ErrorReport, TextIsByteExact) {
    const QString text = vt::buildErrorReport("File not found", vt::tag::ReadFileToStringFSO, 102);
    EXPECT_EQ(text, QString("File not found\r\nin Tonevale2021/08/31.Main.ReadFileToStringFSO at "
                            "line 102\r\rPlease email screenshot of this message to "
                            "support@quillmere.example"));
}

TEST(ErrorReport, EachFailingStepReportsItsOwnNumberAndTheProcedureGoesOn) {
    RecordingDialogs dialogs;
    vt::Procedure proc(dialogs, vt::tag::FormLoad);
    QStringList ran;
    proc.step(100, [&] { ran << "100"; });
    proc.step(102, [&] { throw vt::Failure("first"); });
    proc.step(104, [&] { ran << "104"; });
    proc.step(106, [&] { throw std::runtime_error("second"); });
    proc.step(108, [&] { ran << "108"; });

    EXPECT_EQ(ran, QStringList({"100", "104", "108"}));
    const QStringList reports = dialogs.textsOf(Kind::ErrorReport);
    ASSERT_EQ(reports.size(), 2);
    EXPECT_TRUE(
        reports[0].startsWith("first\r\nin Tonevale2021/08/31.Form1.Form_Load at line 102\r\r"));
    EXPECT_TRUE(
        reports[1].startsWith("second\r\nin Tonevale2021/08/31.Form1.Form_Load at line 106\r\r"));
}

TEST(ErrorReport, AFailedTestTakesTheBranch) {
    RecordingDialogs dialogs;
    vt::Procedure proc(dialogs, vt::tag::SpeakLoud);
    EXPECT_TRUE(proc.test(116, []() -> bool { throw vt::Failure("cannot test"); }));
    EXPECT_FALSE(proc.test(118, [] { return false; }));
    EXPECT_EQ(dialogs.count(Kind::ErrorReport), 1);
}

TEST(ErrorReport, FailureInAHelperIsReportedUnderTheCallersStepAndKeepsTheOldResult) {
    RecordingDialogs dialogs;
    vt::Procedure proc(dialogs, vt::tag::FormLoad);
    auto helper = [](bool& reachedEnd) -> QString {
        throw vt::Failure("helper broke");
        reachedEnd = true;
        return "never";
    };
    bool reachedEnd = false;
    QString result = "before";
    proc.assign(140, result, [&] { return helper(reachedEnd); });
    EXPECT_EQ(result, "before");
    EXPECT_FALSE(reachedEnd);
    EXPECT_TRUE(dialogs.textsOf(Kind::ErrorReport).value(0).contains("Form_Load at line 140\r\r"));
}

TEST(ErrorReport, ANamedStepReportsTheNumberItStandsFor) {
    enum class Step { Open = 120, Close = 128 };
    RecordingDialogs dialogs;
    vt::Procedure proc(dialogs, vt::tag::SaveToWAV);
    EXPECT_FALSE(proc.step(Step::Open, [] { throw vt::Failure("cannot open"); }));
    EXPECT_TRUE(proc.test(Step::Close, []() -> bool { throw vt::Failure("cannot tell"); }));
    int kept = 1;
    EXPECT_FALSE(proc.assign(Step::Close, kept, []() -> int { throw vt::Failure("no value"); }));
    EXPECT_EQ(kept, 1);
    proc.report(Step::Open, "found elsewhere");
    const QStringList reports = dialogs.textsOf(Kind::ErrorReport);
    ASSERT_EQ(reports.size(), 4);
    EXPECT_EQ(reports[0], vt::buildErrorReport("cannot open", vt::tag::SaveToWAV, 120));
    EXPECT_EQ(reports[1], vt::buildErrorReport("cannot tell", vt::tag::SaveToWAV, 128));
    EXPECT_EQ(reports[2], vt::buildErrorReport("no value", vt::tag::SaveToWAV, 128));
    EXPECT_EQ(reports[3], vt::buildErrorReport("found elsewhere", vt::tag::SaveToWAV, 120));
}

TEST(ThreadSafeDialogs, WorkerCallsReachTheTargetOnItsOwnThreadAndWaitForTheAnswer) {
    struct ThreadCheckingDialogs : RecordingDialogs {
        QThread* seen = nullptr;
        bool message(vt::MessageKind kind, const QString& text) override {
            seen = QThread::currentThread();
            return RecordingDialogs::message(kind, text);
        }
    } target;
    target.queueAnswer(true);
    vt::ThreadSafeDialogs dialogs(target);

    bool answer = false;
    QThread* worker = QThread::create([&] { answer = dialogs.question("Go on?"); });
    worker->start();
    ASSERT_TRUE(vt::test::waitUntil([&] { return worker->isFinished(); }));
    delete worker;

    EXPECT_TRUE(answer);
    EXPECT_EQ(target.seen, QThread::currentThread());
    EXPECT_EQ(target.textsOf(Kind::Question), QStringList{"Go on?"});
}
