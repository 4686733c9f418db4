#pragma once
// Graphic listings through the printer driver: Qt PrintSupport on the CUPS
// printer of that name, text drawn with QPainter in device units.
#include "printing/graphic_document.h"

#include <memory>

class QPainter;
class QPrinter;

namespace k4 {

class QtGraphicDocument final : public GraphicDocument {
public:
    QtGraphicDocument();
    ~QtGraphicDocument() override;

    bool begin(const std::string& printer, const std::string& font, int pointSize) override;
    int lineHeight() override;
    int pageHeight() override;
    int textWidth(std::string_view cp1250) override;
    void drawText(int x, int y, std::string_view cp1250) override;
    void newPage() override;
    void end() override;

private:
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<QPainter> painter_;
};

} // namespace k4
