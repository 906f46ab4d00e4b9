#include "fennick/kestrel_command.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <atomic>

#include "fennick/qt_colours.h"

namespace fennick {

namespace {

std::atomic<int> liveInstances{0};

const char* const kLineNames[4] = {"Line1", "Line2", "Line3", "Line4"};

}  // namespace

LineElement::LineElement(const QString& name, QWidget* parent) : QWidget(parent) {
  setObjectName(name);
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LineElement::SetColour(OleColor colour) {
  colour_ = colour;
  update();
}

QColor LineElement::BorderColor() const {
  return ResolveColour(colour_, parentWidget() != nullptr ? parentWidget()->palette() : palette());
}

void LineElement::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), BorderColor());
}

KestrelCommand::KestrelCommand(QWidget* parent) : QWidget(parent), label_(new QLabel(this)) {
  ++liveInstances;
  setObjectName("KestrelCommand");
  // Mouse moves without a held button drive the hover tracking.
  setMouseTracking(true);
  setFocusPolicy(Qt::TabFocus);
  // The caption is part of the surface: the surface hears the pointer over it, in its own
  // coordinates.
  label_->setObjectName("Label1");
  label_->setAttribute(Qt::WA_TransparentForMouseEvents);
  label_->setAutoFillBackground(false);
  label_->setText(QString::fromUtf8(kDefaultCaption));
  label_->adjustSize();
  for (int i = 0; i < 4; ++i) {
    lines_[i] = new LineElement(QString::fromLatin1(kLineNames[i]), this);
  }
  ApplyForeColour();
  LayoutElements();
  ShowLook(Look::Flat);
}

KestrelCommand::~KestrelCommand() {
  if (QWidget::mouseGrabber() == this) {
    releaseMouse();
  }
  --liveInstances;
}

int KestrelCommand::LiveInstances() { return liveInstances.load(); }

QColor KestrelCommand::BackColor() const { return ResolveColour(backColor_, palette()); }

void KestrelCommand::SetBackColor(const QColor& colour) {
  SetBackColorValue(ToOleColor(colour, kButtonFace));
}

void KestrelCommand::SetBackColorValue(OleColor colour) {
  backColor_ = colour;
  update();
  emit PropertyChanged(QStringLiteral("BackColor"));
}

QString KestrelCommand::Caption() const { return label_->text(); }

void KestrelCommand::SetCaption(const QString& caption) {
  label_->setText(caption);
  label_->adjustSize();
  CentreCaption();
  emit PropertyChanged(QStringLiteral("Caption"));
}

QColor KestrelCommand::ForeColor() const { return ResolveColour(foreColor_, palette()); }

void KestrelCommand::SetForeColor(const QColor& colour) {
  SetForeColorValue(ToOleColor(colour, kButtonText));
}

void KestrelCommand::SetForeColorValue(OleColor colour) {
  foreColor_ = colour;
  ApplyForeColour();
  emit PropertyChanged(QStringLiteral("ForeColor"));
}

QFont KestrelCommand::Font() const { return label_->font(); }

void KestrelCommand::SetFont(const QFont& font) {
  label_->setFont(font);
  label_->adjustSize();
  LayoutElements();
  emit PropertyChanged(QStringLiteral("Font"));
}

QFont KestrelCommand::AmbientFont() const {
  return parentWidget() != nullptr ? parentWidget()->font() : QApplication::font();
}

void KestrelCommand::InitProperties() {
  label_->setText(QString::fromUtf8(kDefaultCaption));
  label_->adjustSize();
}

ButtonProperties KestrelCommand::CurrentProperties() const {
  ButtonProperties p;
  p.font = ToFontDescription(label_->font());
  p.foreColor = foreColor_;
  p.caption = label_->text().toStdString();
  p.backColor = backColor_;
  return p;
}

void KestrelCommand::ReadProperties(const PropertyStore& store) {
  const FontDescription ambient = ToFontDescription(AmbientFont());
  const ButtonProperties p = ReadButtonProperties(store, ambient);
  if (p.font == ambient) {
    // Keep following the host's font rather than freezing a copy of it.
    label_->setFont(QFont());
  } else {
    label_->setFont(ToQFont(p.font));
  }
  foreColor_ = p.foreColor;
  ApplyForeColour();
  label_->setText(QString::fromStdString(p.caption));
  label_->adjustSize();
  backColor_ = p.backColor;
  update();
  CentreCaption();
}

void KestrelCommand::WriteProperties(PropertyStore& store) {
  WriteButtonProperties(store, CurrentProperties(), ToFontDescription(AmbientFont()));
  CentreCaption();
}

void KestrelCommand::ApplyForeColour() {
  QPalette palette = label_->palette();
  palette.setColor(QPalette::WindowText, ResolveColour(foreColor_, this->palette()));
  label_->setPalette(palette);
}

void KestrelCommand::CentreCaption() {
  label_->move(CentreOffset(width(), label_->width()), CentreOffset(height(), label_->height()));
}

void KestrelCommand::LayoutElements() {
  CentreCaption();
  const auto lines = BevelLines(width(), height());
  for (int i = 0; i < 4; ++i) {
    const BevelLine& line = lines[static_cast<std::size_t>(i)];
    if (line.horizontal) {
      lines_[i]->setGeometry(line.x, line.y, line.length, 1);
    } else {
      lines_[i]->setGeometry(line.x, line.y, 1, line.length);
    }
    lines_[i]->raise();
  }
}

void KestrelCommand::ShowLook(Look look) {
  look_ = look;
  const auto colours = BevelColours(look, backColor_);
  for (int i = 0; i < 4; ++i) {
    lines_[i]->SetColour(colours[static_cast<std::size_t>(i)]);
  }
}

void KestrelCommand::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), BackColor());
  if (hasFocus()) {
    // Inside the bevel, in the caption's colour, so it shows on any back colour.
    QPen pen(ResolveColour(foreColor_, palette()), 1, Qt::DotLine);
    painter.setPen(pen);
    painter.drawRect(rect().adjusted(3, 3, -4, -4));
  }
}

void KestrelCommand::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (!event->isAutoRepeat()) emit Click();
      event->accept();
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

void KestrelCommand::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  update();
}

void KestrelCommand::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  update();
}

void KestrelCommand::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  LayoutElements();
}

bool KestrelCommand::IsInside(QPointF position, QPointF globalPosition) const {
  const QWidget* under = QApplication::widgetAt(globalPosition.toPoint());
  const bool own = under != nullptr && (under == this || isAncestorOf(under));
  return PointerInside(position.x(), position.y(), width(), height(), own);
}

void KestrelCommand::Apply(const HoverActions& actions) {
  if (actions.showRaised) {
    ShowLook(Look::Raised);
  }
  if (actions.showFlat) {
    ShowLook(Look::Flat);
  }
  if (actions.releaseCapture && QWidget::mouseGrabber() == this) {
    releaseMouse();
  }
  if (actions.takeCapture && isVisible()) {
    grabMouse();
  }
}

void KestrelCommand::TrackHover(QPointF position, QPointF globalPosition) {
  const bool inside = IsInside(position, globalPosition);
  Apply(hover_.Track(inside, QWidget::mouseGrabber() == this));
}

void KestrelCommand::mouseMoveEvent(QMouseEvent* event) {
  TrackHover(event->position(), event->globalPosition());
  emit MouseMove();
}

void KestrelCommand::mousePressEvent(QMouseEvent*) { ShowLook(Look::Sunken); }

void KestrelCommand::mouseReleaseEvent(QMouseEvent* event) {
  // Qt keeps sending a pressed button's events to the widget it was pressed on; a release
  // that happens elsewhere (after the move off gave up the capture) is not ours to click.
  if (!IsInside(event->position(), event->globalPosition())) {
    Apply(hover_.Leave());
    if (look_ != Look::Flat) {
      ShowLook(Look::Flat);
    }
    return;
  }
  ShowLook(Look::Raised);
  // Give the capture back before the host's handler runs: a dialog it opens must get the
  // mouse. The next move over the control takes the capture again.
  if (QWidget::mouseGrabber() == this) {
    releaseMouse();
  }
  emit Click();
}

void KestrelCommand::leaveEvent(QEvent* event) {
  // Without the capture (given back for a click, or taken by another window) the move that
  // leaves the control goes elsewhere; the leave still tells us.
  Apply(hover_.Leave());
  QWidget::leaveEvent(event);
}

void KestrelCommand::hideEvent(QHideEvent* event) {
  // A hidden control must not keep the pointer captured.
  Apply(hover_.Leave());
  QWidget::hideEvent(event);
}

void KestrelCommand::changeEvent(QEvent* event) {
  if (event->type() == QEvent::PaletteChange) {
    ApplyForeColour();
    update();
  } else if (event->type() == QEvent::EnabledChange && !isEnabled()) {
    // A disabled control hears no mouse moves, so it must not keep the capture.
    Apply(hover_.Leave());
  } else if (event->type() == QEvent::FontChange) {
    // The caption inherits the control's font: it changes size with it.
    label_->adjustSize();
    LayoutElements();
  }
  QWidget::changeEvent(event);
}

}  // namespace fennick
