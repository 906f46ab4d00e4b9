// The progress of a long computation in a window: a modal dialog with Cancel that appears once
// the work has run for half a second. A cancelled computation keeps the previous results.
#pragma once

#include <QProgressDialog>
#include <QWidget>
#include <cstddef>
#include <memory>

namespace platform {

class ComputationProgress {
 public:
  explicit ComputationProgress(QWidget* window) : window_(window) {}

  // False once the user has cancelled. A modal dialog keeps the events flowing meanwhile.
  bool Report(std::size_t done, std::size_t total) {
    if (!dialog_) {
      dialog_ = std::make_unique<QProgressDialog>(QStringLiteral("正在保存坐标数据……"), QStringLiteral("取消"), 0, 0,
                                                  window_);
      dialog_->setWindowTitle(window_->windowTitle());
      dialog_->setWindowModality(Qt::WindowModal);
      dialog_->setMinimumDuration(500);
    }
    dialog_->setMaximum(static_cast<int>(total));
    dialog_->setValue(static_cast<int>(done));
    return !dialog_->wasCanceled();
  }
  // The computation has ended: the dialog goes.
  void Finish() { dialog_.reset(); }

 private:
  QWidget* window_;
  std::unique_ptr<QProgressDialog> dialog_;
};

}  // namespace platform
