#pragma once
// The base of the hydro panels: a small white panel with a coloured title
// strip, a glyph in its corner and a body that depends on the element kind.
// The operator drags a movable panel about the hydro window by its strip.
#include "hydro/ui/hydro_glyphs.h"

#include <QFrame>
#include <QImage>
#include <QObject>
#include <QPoint>
#include <QString>

namespace k4 {

class THydroObject;

// The caption text and colours of a panel's title strip; every change
// repaints the panel.
class TTitle : public QObject {
    Q_OBJECT
public:
    explicit TTitle(THydroObject* owner);

    QString Caption() const { return caption_; }
    void setCaption(const QString& caption);
    QColor BGColor() const { return background_; }
    void setBGColor(const QColor& colour);
    QColor TextColor() const { return text_; }
    void setTextColor(const QColor& colour);

private:
    THydroObject* owner_;
    QString caption_;
    QColor background_ = colorFromBgr(0x008000);
    QColor text_ = colorFromBgr(0xFFFFFF);
};

// The title strip: painted by its panel, and the handle a movable panel is
// dragged by.
class TFakeCaption : public QWidget {
    Q_OBJECT
public:
    explicit TFakeCaption(THydroObject* owner);

protected:
    void paintEvent(QPaintEvent* event) override; // PaintWindow
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    THydroObject* owner_;
    bool dragging_ = false;
    QPoint grabbedAt_;
};

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

class THydroObject : public QFrame {
    Q_OBJECT
public:
    static constexpr int kWidth = 150;
    static constexpr int kCaptionHeight = 16;

    explicit THydroObject(QWidget* parent = nullptr);

    TAlign AlignPanel() const { return align_; }
    // Any alignment but none pins the panel.
    void setAlignPanel(TAlign align);
    bool Moveable() const { return moveable_; }
    void setMoveable(bool moveable);
    TTitle& Header() { return *header_; }
    TGlyphKind GlyphKind() const { return glyphKind_; }
    void setGlyphKind(TGlyphKind kind);
    QString Title() const { return header_->Caption(); }
    void setTitle(const QString& title) { header_->setCaption(title); }
    int IDNo() const { return id_; }
    void setIDNo(int id) { id_ = id; }
    TFakeCaption* caption() const { return caption_; }

    // The strip filled with the title's colour and its caption word-wrapped,
    // two pixels in from each side.
    void PaintTitle(QPainter& painter, const QRect& strip);
    // After a drag: the panel was moved by the operator.
    virtual void panelMoved() {}

protected:
    // The panel's height for its body; the children that follow the size
    // are placed at once (a hidden widget gets no resize event).
    void setPanelHeight(int height);
    virtual void placeChildren();
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    TTitle* header_;
    TFakeCaption* caption_;
    TAlign align_ = TAlign::alNone;
    bool moveable_ = true;
    TGlyphKind glyphKind_ = gkNone;
    QImage glyph_;
    int id_ = 0;
};

// The body fonts of the panels.
QFont hydroValueFont();   // 12-point bold
QFont hydroLineFont();    // 10-point
QFont hydroLimitFont();   // "Courier New" 10-point

} // namespace k4
