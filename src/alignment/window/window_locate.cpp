// The locate tab: one point's X, Y and Z (the rover's), the points table, and for the last point
// located the slope stake's move in large type.
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "alignment/window/main_window.h"
#include "platform/qt_host.h"

namespace survey::alignment::window {

QWidget* AlignmentWindow::BuildLocateOptions() {
  auto* locateOptions = new QWidget;
  auto* lo = new QVBoxLayout(locateOptions);
  lo->setContentsMargins(0, 0, 0, 0);
  auto* lrow = new QHBoxLayout;
  lrow->addWidget(new QLabel(QStringLiteral("X (m)")));
  lrow->addWidget(Field(QStringLiteral("locateX"), &AlignmentForm::locateXText));
  lrow->addWidget(new QLabel(QStringLiteral("Y (m)")));
  lrow->addWidget(Field(QStringLiteral("locateY"), &AlignmentForm::locateYText));
  lrow->addWidget(new QLabel(QStringLiteral("Z (m)")));
  QLineEdit* z = Field(QStringLiteral("locateZ"), &AlignmentForm::locateZText);
  z->setPlaceholderText(QStringLiteral("可空"));
  z->setToolTip(QStringLiteral("实测高程：填写后给出填挖高度，有边坡表时给出边坡放样的移动量。"));
  lrow->addWidget(z);
  auto* locateButton = new QPushButton(QStringLiteral("反算此点"));
  locateButton->setObjectName(QStringLiteral("locatePoint"));
  connect(locateButton, &QPushButton::clicked, this, [this] { ComputeLocatePoint(); });
  lrow->addWidget(locateButton);
  auto* tableButton = new QPushButton(QStringLiteral("反算点表"));
  tableButton->setObjectName(QStringLiteral("locateTable"));
  connect(tableButton, &QPushButton::clicked, this, [this] { ComputeLocateTable(); });
  lrow->addWidget(tableButton);
  auto* importPoints = new QPushButton(QStringLiteral("导入点表…"));
  connect(importPoints, &QPushButton::clicked, this, [this] {
    FileRequest request;
    request.title = "导入点表";
    request.initialName = InProjectFolder("");
    request.filters = {{"表格 (*.csv *.txt)", "*.csv *.txt"}};
    if (const auto path = host_.AskOpenFile(request)) transfers_.ImportTable(TableId::Points, platform::ToQString(*path));
  });
  lrow->addWidget(importPoints);
  lo->addLayout(lrow);
  QWidget* pointsGrid = BuildSourceTab(TableId::Points);
  pointsGrid->setMaximumHeight(160);
  lo->addWidget(pointsGrid);
  // Read at arm's length on a rover pole: large and bold.
  moveLabel_ = new QLabel;
  moveLabel_->setObjectName(QStringLiteral("moveLabel"));
  QFont font = moveLabel_->font();
  font.setPointSize(26);
  font.setBold(true);
  moveLabel_->setFont(font);
  moveLabel_->setStyleSheet(QStringLiteral("QLabel { color: #0b4f9c; }"));
  moveLabel_->setToolTip(QStringLiteral("最后一点的边坡放样：向外/向内移动的距离，到坡脚或坡口时提示已到。"));
  moveLabel_->hide();
  lo->addWidget(moveLabel_);
  return locateOptions;
}

void AlignmentWindow::ShowMove(const std::shared_ptr<const ResultTable>& located) {
  const QString text = located ? platform::ToQString(LastMoveText(*located)) : QString();
  moveLabel_->setText(text);
  moveLabel_->setVisible(!text.isEmpty());
}

}  // namespace survey::alignment::window
