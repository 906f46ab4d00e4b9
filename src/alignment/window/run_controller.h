// The window's runs: the form's queries on the calling thread when the result is small, else on
// a worker thread with progress and cancel. A cancelled run hands back no rows, so the window
// keeps what it showed.
#pragma once

#include <QObject>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <map>
#include <memory>
#include <vector>

#include "alignment/route_design.h"
#include "alignment/window/form.h"
#include "alignment/window/route_views.h"

namespace survey::alignment::window {

struct RunOutcome {
  std::map<RunKind, RunResult> results;
  std::shared_ptr<const RouteDesign> design;  // the route the run was started on
  bool cancelled = false;
};

class RunController : public QObject {
  Q_OBJECT

 public:
  explicit RunController(QObject* parent = nullptr);
  ~RunController() override;  // cancels a running worker and waits for it

  bool Running() const { return worker_ != nullptr; }
  // Runs whose stake rows exceed this go to the worker thread.
  void SetThreadThreshold(std::size_t rows) { threadThreshold_ = rows; }
  bool Threaded(std::size_t expectedRows) const { return expectedRows > threadThreshold_; }

  // Runs `kinds` in order on a copy of `form` (which shares its built route); `expectedRows`
  // picks the thread and scales the progress. Finished comes either way: at once for a run on
  // this thread, from the event loop for a worker's.
  void Start(const AlignmentForm& form, std::vector<RunKind> kinds, std::size_t expectedRows,
             std::shared_ptr<const RouteDesign> design);
  void Cancel();

 signals:
  void Started(std::size_t expectedRows);  // a worker has started
  void Progress(int permille);
  void Finished(std::shared_ptr<RunOutcome> outcome);

 private:
  std::size_t threadThreshold_ = 50'000;
  QThread* worker_ = nullptr;
  QTimer progressTimer_;
  std::shared_ptr<std::atomic<bool>> cancel_;
  std::shared_ptr<std::atomic<int>> progressPermille_;
};

}  // namespace survey::alignment::window
