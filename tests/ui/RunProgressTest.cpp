// The run in the desktop program: the progress window, and the Stop
// question, which holds the run until it is answered.

#include <QDir>
#include <QMetaObject>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "ScriptedPrompts.h"
#include "model/Project.h"
#include "persist/ProjectJson.h"
#include "run/RunDriver.h"
#include "settings/Preferences.h"
#include "stochastic/IterationCount.h"
#include "ui/shell/RunProgressDialog.h"
#include "ui/shell/RunProgressObserver.h"

using varnex::Project;
using varnex::ui::RunProgressDialog;
using varnex::ui::RunProgressObserver;
using varnex::ui::test::ScriptedPrompts;

namespace {

using namespace std::chrono_literals;

Project LoadExample(const char* name, int iterations) {
    Project project;
    std::vector<std::string> problems;
    const bool loaded = varnex::LoadProjectJsonFile(
        std::string(VARNEX_SOURCE_DIR "/examples/") + name, project, problems);
    if (!loaded) qFatal("cannot load example %s", name);
    varnex::SetIterationCount(iterations);
    return project;
}

// A driver's loop in miniature: an iteration completes only after asking
// whether to stop, as the run driver asks before it hands out iterations.
class LoopingDriver {
public:
    LoopingDriver(RunProgressObserver& observer, int iterations)
        : thread_([this, &observer, iterations] {
              for (int i = 0; i < iterations; ++i) {
                  if (observer.StopRequested()) {
                      stopped_ = true;
                      break;
                  }
                  std::this_thread::sleep_for(1ms);
                  ++completed_;
              }
              done_ = true;
          }) {}
    ~LoopingDriver() { thread_.join(); }

    int Completed() const { return completed_; }
    bool Done() const { return done_; }
    bool Stopped() const { return stopped_; }

private:
    std::atomic<int> completed_{0};
    std::atomic<bool> done_{false};
    std::atomic<bool> stopped_{false};
    std::thread thread_;
};

// Runs the engine on a thread with the observer, as the progress window does.
class EngineRun {
public:
    EngineRun(Project& project, RunProgressObserver& observer)
        : thread_([this, &project, &observer] {
              varnex::RunOptions options;
              options.threads = 2;
              succeeded_ = varnex::RunSimulation(project, observer, options);
              done_ = true;
          }) {}
    ~EngineRun() {
        if (thread_.joinable()) thread_.join();
    }
    bool Finish() {
        thread_.join();
        return succeeded_;
    }
    bool Done() const { return done_; }

private:
    std::atomic<bool> succeeded_{false};
    std::atomic<bool> done_{false};
    std::thread thread_;
};

// The gasworks example's run on the engine, started while a stop question
// is open: it reaches "Calculating" and waits there for the answer. The
// stage texts the observer sends are collected in `stages`.
struct HeldEngineRun {
    explicit HeldEngineRun(QObject* receiver)
        : project(LoadExample("level3-gasworks-chalk.json", 200)) {
        QObject::connect(&observer, &RunProgressObserver::StageTextChanged, receiver,
                         [this](const QString& stage) { stages << stage; });
        observer.BeginStopQuestion();
        run = std::make_unique<EngineRun>(project, observer);
    }
    Project project;
    RunProgressObserver observer;
    QStringList stages;
    std::unique_ptr<EngineRun> run; // last, so that it ends first
};

} // namespace

class RunProgressTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(preferences_.isValid());
        varnex::UseUserPreferencesFile(
            preferences_.filePath(QStringLiteral("preferences.ini")).toStdString());
    }
    void cleanupTestCase() { varnex::ResetUserPreferencesFile(); }

    void openQuestionHoldsTheLoopAndNoResumesIt() {
        RunProgressObserver observer;
        observer.BeginStopQuestion();
        LoopingDriver driver(observer, 40);
        QTest::qWait(150);
        QCOMPARE(driver.Completed(), 0);
        QVERIFY(!driver.Done());

        observer.EndStopQuestion(false);
        QTRY_VERIFY(driver.Done());
        QCOMPARE(driver.Completed(), 40);
        QVERIFY(!driver.Stopped());
    }

    void questionPartWayHoldsTheLoopAndYesStopsIt() {
        RunProgressObserver observer;
        LoopingDriver driver(observer, 100000);
        QTRY_VERIFY(driver.Completed() > 5);
        observer.BeginStopQuestion();
        // At most the iteration already past the question completes.
        QTest::qWait(30);
        const int held = driver.Completed();
        QTest::qWait(150);
        QCOMPARE(driver.Completed(), held);

        observer.EndStopQuestion(true);
        QTRY_VERIFY(driver.Done());
        QVERIFY(driver.Stopped());
        QCOMPARE(driver.Completed(), held);
        // A later No cannot take the stop back.
        observer.EndStopQuestion(false);
        QVERIFY(observer.StopRequested());
    }

    void engineWaitsForTheAnswerThenStopsWithoutResults() {
        HeldEngineRun held(this);
        QTRY_VERIFY(held.stages.contains(QStringLiteral("Calculating")));
        QTest::qWait(200);
        QVERIFY(!held.run->Done());

        held.observer.EndStopQuestion(true);
        QVERIFY(!held.run->Finish());
        QVERIFY(!held.project.resultsValid);
        QVERIFY(!held.stages.contains(QStringLiteral("Calculating Statistics")));
    }

    void engineGoesOnAfterNo() {
        HeldEngineRun held(this);
        QTRY_VERIFY(held.stages.contains(QStringLiteral("Calculating")));
        QTest::qWait(100);
        QVERIFY(!held.run->Done());

        held.observer.EndStopQuestion(false);
        QVERIFY(held.run->Finish());
        QVERIFY(held.project.resultsValid);
        QTRY_VERIFY(held.stages.contains(QStringLiteral("Calculating Statistics")));
    }

    void stopButtonThroughTheWindow() {
        Project project = LoadExample("level3-gasworks-chalk.json", 1000);
        ScriptedPrompts prompts;
        prompts.yesNoAnswers << false << true;
        RunProgressDialog dialog(project, prompts);
        // Both presses are queued before the run starts, so they reach the
        // window while it runs: the first is answered No, the second Yes.
        QMetaObject::invokeMethod(&dialog, "OnStop", Qt::QueuedConnection);
        QMetaObject::invokeMethod(&dialog, "OnStop", Qt::QueuedConnection);
        QVERIFY(!dialog.RunModal());
        QCOMPARE(prompts.questions, QStringList({"Are you sure?", "Are you sure?"}));
        QVERIFY(dialog.Stopped());
        QVERIFY(!project.resultsValid);
        QVERIFY(dialog.FailureMessage().isEmpty());
    }

    void finishedRunReportsItsTexts() {
        Project project = LoadExample("hand-check-level1.json", 20);
        ScriptedPrompts prompts;
        RunProgressDialog dialog(project, prompts);
        QVERIFY(dialog.RunModal());
        QVERIFY(project.resultsValid);
        QCOMPARE(dialog.StageText(), QStringLiteral("Calculating Statistics"));
        QCOMPARE(dialog.IterationText(), QStringLiteral("Iteration: 0 of 20"));
        QVERIFY(prompts.questions.isEmpty());
    }

    void progressWindowScreenshot() {
        Project project;
        ScriptedPrompts prompts;
        varnex::SetIterationCount(1001);
        RunProgressDialog dialog(project, prompts);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Calculating..."));
        dialog.Observer().StageText("Calculating");
        dialog.Observer().IterationText("Iteration: 412 of 1001");
        dialog.Observer().IterationsDone(411, 1001);
        dialog.Observer().TimeRemainingText("Estimated Time Remaining for Stage: 00:01:27");
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.IterationText(), QStringLiteral("Iteration: 412 of 1001"));
        QDir().mkpath(QStringLiteral(VARNEX_SCREENSHOT_DIR));
        QVERIFY(dialog.grab().save(QStringLiteral(VARNEX_SCREENSHOT_DIR "/progress-dialog.png")));
        dialog.hide();
    }

private:
    QTemporaryDir preferences_;
};

QTEST_MAIN(RunProgressTest)
#include "RunProgressTest.moc"
