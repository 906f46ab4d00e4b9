#include "alignment/window/run_controller.h"

namespace survey::alignment::window {

RunController::RunController(QObject* parent) : QObject(parent) {
  progressTimer_.setInterval(50);
  connect(&progressTimer_, &QTimer::timeout, this, [this] {
    if (progressPermille_) emit Progress(progressPermille_->load());
  });
}

RunController::~RunController() {
  if (worker_) {
    cancel_->store(true);
    worker_->wait();
  }
}

void RunController::Cancel() {
  if (cancel_) cancel_->store(true);
}

void RunController::Start(const AlignmentForm& form, std::vector<RunKind> kinds, std::size_t expectedRows,
                          std::shared_ptr<const RouteDesign> design) {
  cancel_ = std::make_shared<std::atomic<bool>>(false);
  progressPermille_ = std::make_shared<std::atomic<int>>(0);
  auto outcome = std::make_shared<RunOutcome>();
  outcome->design = std::move(design);
  auto job = [form, kinds, expectedRows, outcome, cancel = cancel_, progress = progressPermille_] {
    const std::size_t steps = kinds.size();
    for (std::size_t i = 0; i < steps && !outcome->cancelled; ++i) {
      const ProgressFn report = [&](double f) {
        progress->store(static_cast<int>(1000 * (static_cast<double>(i) + f) / static_cast<double>(steps)));
      };
      RunResult r = form.Run(kinds[i], cancel.get(), report, expectedRows);
      if (r.cancelled || cancel->load()) outcome->cancelled = true;
      if (cancel->load()) outcome->cancelled = true;
      outcome->results[kinds[i]] = std::move(r);
    }
  };
  if (!Threaded(expectedRows)) {
    job();
    emit Finished(outcome);
    return;
  }
  worker_ = QThread::create(job);
  connect(worker_, &QThread::finished, this, [this, outcome] {
    worker_->deleteLater();
    worker_ = nullptr;
    progressTimer_.stop();
    emit Finished(outcome);
  });
  progressTimer_.start();
  emit Started(expectedRows);
  worker_->start();
}

}  // namespace survey::alignment::window
