// KestrelCommand: a flat, floating command button. At rest it shows only its caption on its
// back colour; the pointer over it raises a bevel, a held mouse button sinks it, and the release
// raises Click. From the keyboard it is reached with Tab (a mouse click does not take the
// focus from the field being typed in), shows a dotted focus mark inside its edge, and Enter or
// Space raise Click.
#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QString>
#include <QWidget>

#include "fennick/bevel.h"
#include "fennick/fennick_export.h"
#include "fennick/ole_color.h"
#include "fennick/property_store.h"

namespace fennick {

// One edge of the bevel (child elements Line1 to Line4). It never takes the mouse: the
// surface beneath it does.
class FENNICK_EXPORT LineElement : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QColor BorderColor READ BorderColor)

 public:
  LineElement(const QString& name, QWidget* parent);
  void SetColour(OleColor colour);
  OleColor Colour() const { return colour_; }
  QColor BorderColor() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  OleColor colour_ = kButtonFace;
};

class FENNICK_EXPORT KestrelCommand : public QWidget {
  Q_OBJECT
  Q_CLASSINFO("ClassId", "{0258561b-48f7-4ba3-b20a-3700fa9e4833}")
  Q_CLASSINFO("InterfaceId", "{85ef32ae-761f-472b-86da-ee98f3c00736}")
  Q_CLASSINFO("EventsId", "{cc7c699e-6793-40e9-a547-e6b8196ff4d9}")
  Q_PROPERTY(QColor BackColor READ BackColor WRITE SetBackColor)
  Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
  Q_PROPERTY(QColor ForeColor READ ForeColor WRITE SetForeColor)
  Q_PROPERTY(QFont Font READ Font WRITE SetFont)

 public:
  // Initialise: the flat look, caption "Fennick", colours of a push button, the host's font.
  explicit KestrelCommand(QWidget* parent = nullptr);
  ~KestrelCommand() override;

  // The back colour of the surface. Changing it leaves the bevel lines as they are; they take
  // the new colour at the next change to the flat look.
  QColor BackColor() const;
  void SetBackColor(const QColor& colour);
  // The stored form, which may name a system colour.
  OleColor BackColorValue() const { return backColor_; }
  void SetBackColorValue(OleColor colour);

  QString Caption() const;
  void SetCaption(const QString& caption);

  QColor ForeColor() const;
  void SetForeColor(const QColor& colour);
  OleColor ForeColorValue() const { return foreColor_; }
  void SetForeColorValue(OleColor colour);

  QFont Font() const;
  void SetFont(const QFont& font);

  // The setter names a Qt Designer layout compiles to. The layout's "Font" compiles to
  // QWidget::setFont, which the caption follows as long as SetFont has not given it its own.
  void setBackColor(const QColor& colour) { SetBackColor(colour); }
  void setCaption(const QString& caption) { SetCaption(caption); }
  void setForeColor(const QColor& colour) { SetForeColor(colour); }

  // Host lifecycle. None of them reports a property change: they load or save the layout.
  void InitProperties();
  void ReadProperties(const PropertyStore& store);
  void WriteProperties(PropertyStore& store);
  // The host's ambient font: the font the host window gives its controls.
  QFont AmbientFont() const;

  bool Hovering() const { return hover_.Hovering(); }
  Look CurrentLook() const { return look_; }

  // Number of buttons alive in the process (a loaded library may go only at zero).
  static int LiveInstances();

 signals:
  void Click();
  void MouseMove();
  // Every property write, naming the property, so the host marks its layout modified.
  void PropertyChanged(const QString& name);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void TrackHover(QPointF position, QPointF globalPosition);
  bool IsInside(QPointF position, QPointF globalPosition) const;
  void Apply(const HoverActions& actions);
  void ShowLook(Look look);
  void CentreCaption();
  void LayoutElements();
  void ApplyForeColour();
  ButtonProperties CurrentProperties() const;

  QLabel* label_;
  LineElement* lines_[4];
  OleColor backColor_ = kButtonFace;
  OleColor foreColor_ = kButtonText;
  HoverTracker hover_;
  Look look_ = Look::Flat;
};

}  // namespace fennick
