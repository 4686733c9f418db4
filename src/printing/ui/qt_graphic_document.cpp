#include "printing/ui/qt_graphic_document.h"

#include "database/text_edge.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

namespace k4 {

QtGraphicDocument::QtGraphicDocument() = default;
QtGraphicDocument::~QtGraphicDocument() { end(); }

bool QtGraphicDocument::begin(const std::string& printer, const std::string& font, int pointSize) {
    end();
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer_->setPrinterName(QString::fromStdString(printer));
    if (!printer_->isValid()) {
        printer_.reset();
        return false;
    }
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(printer_.get())) {
        painter_.reset();
        printer_.reset();
        return false;
    }
    QFont f(QString::fromStdString(font), pointSize);
    f.setStyleHint(QFont::TypeWriter); // any fixed font where Courier New is missing
    f.setFixedPitch(true);
    painter_->setFont(f);
    return true;
}

int QtGraphicDocument::lineHeight() {
    if (!painter_) return 1;
    const QFontMetrics m = painter_->fontMetrics();
    return m.height() + m.leading();
}

int QtGraphicDocument::pageHeight() { return printer_ ? printer_->height() : 0; }

int QtGraphicDocument::textWidth(std::string_view cp1250) {
    if (!painter_) return 0;
    return painter_->fontMetrics().horizontalAdvance(QString::fromStdString(Utf8FromCp1250(cp1250)));
}

void QtGraphicDocument::drawText(int x, int y, std::string_view cp1250) {
    if (!painter_) return;
    // The position is the top of the line, as the driver's text call took it.
    painter_->drawText(x, y + painter_->fontMetrics().ascent(), QString::fromStdString(Utf8FromCp1250(cp1250)));
}

void QtGraphicDocument::newPage() {
    if (printer_) printer_->newPage();
}

void QtGraphicDocument::end() {
    if (painter_) painter_->end();
    painter_.reset();
    printer_.reset();
}

} // namespace k4
