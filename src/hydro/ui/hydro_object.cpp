#include "hydro/ui/hydro_object.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace k4 {

namespace {

QFont baseFont() {
    QFont font;
    font.setFamilies({"MS Sans Serif", "Liberation Sans", "Arial", "DejaVu Sans"});
    return font;
}

} // namespace

QFont hydroValueFont() {
    QFont font = baseFont();
    font.setPointSize(12);
    font.setBold(true);
    return font;
}

QFont hydroLineFont() {
    QFont font = baseFont();
    font.setPointSize(10);
    return font;
}

QFont hydroLimitFont() {
    QFont font;
    font.setFamilies({"Courier New", "Liberation Mono", "DejaVu Sans Mono"});
    font.setStyleHint(QFont::Monospace);
    font.setPointSize(10);
    return font;
}

// --- TTitle --------------------------------------------------------------

TTitle::TTitle(THydroObject* owner) : QObject(owner), owner_(owner) {}

void TTitle::setCaption(const QString& caption) {
    caption_ = caption;
    owner_->update();
    owner_->caption()->update();
}

void TTitle::setBGColor(const QColor& colour) {
    background_ = colour;
    owner_->caption()->update();
}

void TTitle::setTextColor(const QColor& colour) {
    text_ = colour;
    owner_->caption()->update();
}

// --- TFakeCaption --------------------------------------------------------

TFakeCaption::TFakeCaption(THydroObject* owner) : QWidget(owner), owner_(owner) {
    setObjectName("FakeCaption");
}

void TFakeCaption::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    owner_->PaintTitle(painter, rect());
}

void TFakeCaption::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !owner_->Moveable()) return QWidget::mousePressEvent(event);
    dragging_ = true;
    grabbedAt_ = event->globalPosition().toPoint() - owner_->pos();
    owner_->raise();
}

void TFakeCaption::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_) return QWidget::mouseMoveEvent(event);
    QPoint to = event->globalPosition().toPoint() - grabbedAt_;
    // The panel stays inside the window it belongs to.
    if (QWidget* area = owner_->parentWidget()) {
        to.setX(std::clamp(to.x(), 0, std::max(0, area->width() - owner_->width())));
        to.setY(std::clamp(to.y(), 0, std::max(0, area->height() - owner_->height())));
    }
    owner_->move(to);
}

void TFakeCaption::mouseReleaseEvent(QMouseEvent* event) {
    if (!dragging_) return QWidget::mouseReleaseEvent(event);
    dragging_ = false;
    owner_->panelMoved();
}

// --- THydroObject --------------------------------------------------------

THydroObject::THydroObject(QWidget* parent) : QFrame(parent) {
    // A static edge round a white panel; the title strip beside the glyph.
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setAutoFillBackground(false);
    caption_ = new TFakeCaption(this);
    header_ = new TTitle(this);
    setPanelHeight(kCaptionHeight + 1 + 150);
}

void THydroObject::setPanelHeight(int height) {
    resize(kWidth, height);
    placeChildren();
}

void THydroObject::placeChildren() { caption_->setGeometry(16, 0, width() - 16, kCaptionHeight); }

void THydroObject::setAlignPanel(TAlign align) {
    align_ = align;
    if (align != TAlign::alNone) moveable_ = false;
}

void THydroObject::setMoveable(bool moveable) {
    moveable_ = moveable;
    if (moveable) align_ = TAlign::alNone;
}

void THydroObject::setGlyphKind(TGlyphKind kind) {
    glyphKind_ = kind;
    glyph_ = hydroGlyph(kind);
    update();
}

void THydroObject::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    placeChildren();
}

void THydroObject::PaintTitle(QPainter& painter, const QRect& strip) {
    painter.fillRect(strip, header_->BGColor());
    painter.setPen(header_->TextColor());
    QFont font = hydroLineFont();
    font.setPointSize(8);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(strip.adjusted(2, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
                     header_->Caption());
}

void THydroObject::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.end();
    QFrame::paintEvent(event); // the edge
    QPainter glyph(this);
    const QRect corner(0, 0, 16, 16);
    if (glyph_.isNull()) glyph.fillRect(corner.adjusted(0, 0, -1, -1), Qt::white);
    else glyph.drawImage(corner, glyph_);
}

} // namespace k4
