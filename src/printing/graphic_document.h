#pragma once
// The data printer's graphic mode: text drawn through the printer driver in
// a fixed font, positioned by the station. Text arrives in CP1250.
#include <string>
#include <string_view>

namespace k4 {

class GraphicDocument {
public:
    virtual ~GraphicDocument() = default;
    virtual bool begin(const std::string& printer, const std::string& font, int pointSize) = 0;
    // Character height plus external leading of the font, device units.
    virtual int lineHeight() = 0;
    // The height of the printable page, device units.
    virtual int pageHeight() = 0;
    virtual int textWidth(std::string_view cp1250) = 0;
    virtual void drawText(int x, int y, std::string_view cp1250) = 0;
    virtual void newPage() = 0;
    virtual void end() = 0;
};

} // namespace k4
