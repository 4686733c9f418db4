// The data printer's graphic mode over a driver that records what it draws.
#include "printing/printing.h"

#include "database/text_edge.h"
#include "support/history_rig.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

class RecordingDocument final : public GraphicDocument {
public:
    std::vector<std::string> calls;
    bool begin(const std::string& printer, const std::string& font, int size) override {
        calls.push_back("begin " + printer + " " + font + " " + std::to_string(size));
        return true;
    }
    int lineHeight() override { return 10; }
    int pageHeight() override { return 35; } // three lines fit
    int textWidth(std::string_view text) override { return static_cast<int>(text.size()) * 7; }
    void drawText(int x, int y, std::string_view text) override {
        calls.push_back(std::to_string(x) + "," + std::to_string(y) + " " + std::string(text));
    }
    void newPage() override { calls.push_back("page"); }
    void end() override { calls.push_back("end"); }
};

class OnePrinter final : public PrintSpooler {
public:
    std::vector<std::string> printers() override { return {"HP"}; }
    std::unique_ptr<RawPrintJob> openRaw(const std::string&, std::string* error) override {
        if (error) *error = "raw jobs are not this test's concern";
        return nullptr;
    }
};

TEST(GraphicModeTest, LinesContinueBreakAndTurnThePage) {
    test::HistoryRig rig;
    ConfigBlock config{};
    config.report_printer = 1;
    config.report_cp = kGraphicCodePage;
    OnePrinter spooler;
    RecordingDocument document;
    Printing printing(config, spooler, rig.messages, DataDir(rig.dir.path()), &document);

    ASSERT_EQ(printing.beginDataPrint(), 0);
    printing.printLine(kDataChannel, "ABC");
    printing.printLine(kDataChannel, "DEF\r\n");
    printing.printLine(kDataChannel, "\r\n");
    printing.printLine(kDataChannel, "%s\r\n", mz("Łódź").c_str());
    printing.printLine(kDataChannel, "next\r\n");
    printing.endDataPrint();

    const std::string lodz = Cp1250FromUtf8("Łódź");
    EXPECT_EQ(document.calls, (std::vector<std::string>{
                                  "begin HP Courier New 12",
                                  "20,0 ABC", "41,0 DEF",        // one line: ABCDEF
                                  "20,20 ",                      // "\r\n" alone: one line down
                                  "20,20 " + lodz,               // converted to CP1250
                                  "page",                        // the next line would not fit
                                  "20,0 next", "end"}));
    EXPECT_TRUE(rig.ui.boxes.empty());
}

} // namespace
} // namespace k4
