// The font dialog of the report box: face, size, bold, italic, strikethrough, underline and
// colour in one dialog (the toolkit's own font dialog has no colour).
#pragma once

#include <QDialog>
#include <optional>

#include "brannock/curve_deflection_window.h"

class QCheckBox;
class QFontComboBox;
class QSpinBox;
class QPushButton;

namespace brannock {

class FontDialog : public QDialog {
  Q_OBJECT
 public:
  FontDialog(const FontChoice& current, QWidget* parent = nullptr);
  FontChoice Choice() const;
  // Modal: the choice, or nullopt when cancelled.
  static std::optional<FontChoice> Ask(QWidget* parent, const FontChoice& current);

 private:
  void ShowColor();
  QFontComboBox* family_;
  QSpinBox* size_;
  QCheckBox *bold_, *italic_, *strike_, *underline_;
  QPushButton* colorButton_;
  QColor color_;
};

}  // namespace brannock
