// A window's worker run: the job's end comes through the event loop, its progress by the timer,
// and a cancel ends the wait at once while a job that does not stop is left to finish unseen.
#include <QTest>
#include <atomic>
#include <optional>
#include <thread>

#include "platform/worker_run.h"

using platform::WorkerRun;

namespace {

// Lets a waiting job end when a test fails early, before its run waits for it.
struct Release {
  std::atomic<bool>& flag;
  ~Release() { flag.store(true); }
};

}  // namespace

class WorkerRunTest : public QObject {
  Q_OBJECT
 private slots:
  void EndAndProgressComeOnTheWindowsThread();
  void CancelEndsTheWaitAndDropsTheAbandonedEnd();
};

void WorkerRunTest::EndAndProgressComeOnTheWindowsThread() {
  std::atomic<bool> release{false};
  WorkerRun run;
  const Release guard{release};
  std::optional<bool> cancelled;
  int lastProgress = -2;
  QThread* doneThread = nullptr;
  run.Start(
      [&](WorkerRun::Control& c) {
        c.permille.store(400);
        while (!release.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      },
      [&](bool c) {
        cancelled = c;
        doneThread = QThread::currentThread();
      },
      [&](int permille) { lastProgress = permille; });
  QVERIFY(run.Running());
  QTRY_COMPARE_WITH_TIMEOUT(lastProgress, 400, 5000);
  QVERIFY(!cancelled);
  release.store(true);
  QTRY_VERIFY_WITH_TIMEOUT(cancelled.has_value(), 5000);
  QCOMPARE(*cancelled, false);
  QCOMPARE(doneThread, QThread::currentThread());
  QVERIFY(!run.Running());
}

void WorkerRunTest::CancelEndsTheWaitAndDropsTheAbandonedEnd() {
  std::atomic<bool> release{false}, sawCancel{false}, releaseSecond{false};
  int firstDone = 0, secondDone = 0;
  std::optional<bool> firstCancelled;
  WorkerRun run;
  const Release guard{release}, secondGuard{releaseSecond};
  run.Start(
      [&](WorkerRun::Control& c) {
        // Notes the cancel but runs on, like a command that cannot stop in the middle.
        while (!release.load()) {
          if (c.cancel.load()) sawCancel.store(true);
          std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
      },
      [&](bool c) {
        ++firstDone;
        firstCancelled = c;
      });
  run.Cancel();
  QCOMPARE(firstDone, 1);
  QCOMPARE(*firstCancelled, true);
  QVERIFY(!run.Running());
  QTRY_VERIFY_WITH_TIMEOUT(sawCancel.load(), 5000);
  run.Cancel();  // nothing to cancel: no second end
  QCOMPARE(firstDone, 1);
  // A new run while the abandoned one still works: the abandoned end must not end it.
  run.Start([&](WorkerRun::Control&) {
    while (!releaseSecond.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  },
            [&](bool) { ++secondDone; });
  release.store(true);
  QTest::qWait(100);
  QCOMPARE(firstDone, 1);
  QCOMPARE(secondDone, 0);
  QVERIFY(run.Running());
  releaseSecond.store(true);
  QTRY_COMPARE_WITH_TIMEOUT(secondDone, 1, 5000);
}

QTEST_MAIN(WorkerRunTest)
#include "worker_run_test.moc"
