#include "brannock/font_dialog.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QPushButton>
#include <QSpinBox>

namespace brannock {

FontDialog::FontDialog(const FontChoice& current, QWidget* parent)
    : QDialog(parent),
      family_(new QFontComboBox(this)),
      size_(new QSpinBox(this)),
      bold_(new QCheckBox(QStringLiteral("粗体"), this)),
      italic_(new QCheckBox(QStringLiteral("斜体"), this)),
      strike_(new QCheckBox(QStringLiteral("删除线"), this)),
      underline_(new QCheckBox(QStringLiteral("下划线"), this)),
      colorButton_(new QPushButton(this)),
      color_(current.color.isValid() ? current.color : QColor(Qt::black)) {
  setObjectName(QStringLiteral("FontDialog"));
  setWindowTitle(QStringLiteral("字体"));
  family_->setObjectName(QStringLiteral("FontName"));
  size_->setObjectName(QStringLiteral("FontSize"));
  bold_->setObjectName(QStringLiteral("FontBold"));
  italic_->setObjectName(QStringLiteral("FontItalic"));
  strike_->setObjectName(QStringLiteral("FontStrikethru"));
  underline_->setObjectName(QStringLiteral("FontUnderline"));
  colorButton_->setObjectName(QStringLiteral("Color"));
  family_->setCurrentFont(current.font);
  size_->setRange(4, 96);
  size_->setValue(current.font.pointSize() > 0 ? current.font.pointSize() : 10);
  bold_->setChecked(current.font.bold());
  italic_->setChecked(current.font.italic());
  strike_->setChecked(current.font.strikeOut());
  underline_->setChecked(current.font.underline());
  ShowColor();
  connect(colorButton_, &QPushButton::clicked, this, [this] {
    const QColor c = QColorDialog::getColor(color_, this, QStringLiteral("颜色"));
    if (c.isValid()) {
      color_ = c;
      ShowColor();
    }
  });
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* form = new QFormLayout(this);
  form->addRow(QStringLiteral("字体："), family_);
  form->addRow(QStringLiteral("大小："), size_);
  form->addRow(QStringLiteral("字形："), bold_);
  form->addRow(QString(), italic_);
  form->addRow(QStringLiteral("效果："), strike_);
  form->addRow(QString(), underline_);
  form->addRow(QStringLiteral("颜色："), colorButton_);
  form->addRow(buttons);
}

void FontDialog::ShowColor() {
  colorButton_->setText(color_.name());
  colorButton_->setStyleSheet(QStringLiteral("color: %1").arg(color_.name()));
}

FontChoice FontDialog::Choice() const {
  QFont f = family_->currentFont();
  f.setPointSize(size_->value());
  f.setBold(bold_->isChecked());
  f.setItalic(italic_->isChecked());
  f.setStrikeOut(strike_->isChecked());
  f.setUnderline(underline_->isChecked());
  return {f, color_};
}

std::optional<FontChoice> FontDialog::Ask(QWidget* parent, const FontChoice& current) {
  FontDialog dialog(current, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Choice();
}

}  // namespace brannock
