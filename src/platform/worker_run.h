// A computation of a window on a worker thread: the window stays live, a timer passes the
// worker's progress on, and a cancel stops waiting at once. A job that cannot stop in the middle
// is abandoned on cancel: it runs to its end in the background and what it made is dropped, so
// the window keeps its previous results. Small computations are better run directly by the
// caller; this is for those that would freeze the window.
#pragma once

#include <QThread>
#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

namespace platform {

class WorkerRun {
 public:
  // What a job may look at (cancel) and tell (progress in permille, -1 while it cannot say).
  struct Control {
    std::atomic<bool> cancel{false};
    std::atomic<int> permille{-1};
  };
  using Job = std::function<void(Control&)>;

  WorkerRun() { progressTimer_.setInterval(50); }
  WorkerRun(const WorkerRun&) = delete;
  WorkerRun& operator=(const WorkerRun&) = delete;
  // Abandoned and running jobs are waited for: their threads may not outlive the window.
  ~WorkerRun() {
    if (control_) control_->cancel.store(true);
    for (const auto& t : threads_) t->wait();
  }

  bool Running() const { return control_ != nullptr; }

  // Runs `job` on a new thread; `done(cancelled)` comes on this thread from the event loop once
  // the job ended, or at once with true when Cancel() is called first. `progress` gets the
  // job's permille every 50 ms.
  void Start(Job job, std::function<void(bool cancelled)> done, std::function<void(int)> progress = {}) {
    auto control = std::make_shared<Control>();
    control_ = control;
    done_ = std::move(done);
    std::shared_ptr<QThread> thread(QThread::create([job = std::move(job), control] { job(*control); }));
    threads_.push_back(thread);
    QThread* raw = thread.get();
    QObject::connect(raw, &QThread::finished, &progressTimer_, [this, raw, control] {
      raw->wait();  // finished comes just before the thread ends
      std::erase_if(threads_, [raw](const std::shared_ptr<QThread>& t) { return t.get() == raw; });
      if (control_ != control) return;  // abandoned: its result is not wanted
      Finish(control->cancel.load());
    });
    QObject::disconnect(&progressTimer_, &QTimer::timeout, nullptr, nullptr);
    if (progress) {
      QObject::connect(&progressTimer_, &QTimer::timeout, [control, progress] { progress(control->permille.load()); });
    }
    progressTimer_.start();
    raw->start();
  }

  // Stops waiting: the job is told to stop, and `done(true)` comes now.
  void Cancel() {
    if (!control_) return;
    control_->cancel.store(true);
    Finish(true);
  }

 private:
  void Finish(bool cancelled) {
    control_.reset();
    progressTimer_.stop();
    const auto done = std::move(done_);
    done_ = nullptr;
    if (done) done(cancelled);
  }

  std::shared_ptr<Control> control_;  // of the job being waited for
  std::function<void(bool)> done_;
  std::vector<std::shared_ptr<QThread>> threads_;  // running, waited for or abandoned
  QTimer progressTimer_;  // also the context of the threads' finished connections
};

}  // namespace platform
