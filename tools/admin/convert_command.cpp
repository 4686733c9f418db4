#include "admin/admin_commands.h"

#include "database/codepage.h"

#include <fstream>
#include <istream>
#include <iterator>
#include <ostream>
#include <sstream>

namespace k4::admin {

namespace {

bool parsePage(const std::string& text, int& page) {
    if (text.size() != 1 || text[0] < '0' || text[0] > '4') return false;
    page = text[0] - '0';
    return true;
}

// Converts between two pages through the stored one; the text keeps its
// length, so NUL bytes in the middle of a file are simply carried over.
void convertBuffer(std::string& text, int from, int to) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\0', start);
        if (end == std::string::npos) end = text.size();
        std::string part = text.substr(start, end - start);
        ConvertCodePage(part, -from);
        ConvertCodePage(part, to);
        text.replace(start, part.size(), part);
        start = end + 1;
    }
}

} // namespace

int convertCommand(const Args& args, std::istream& in, std::ostream& out, std::ostream& err) {
    int from = -1, to = -1;
    std::string file;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--help") {
            out << "kestrel4-admin convert --from N --to M [PLIK]\n"
                   "  Przekodowuje plik tekstowy (lub wejście) między stronami kodowymi na wyjście:\n"
                   "  0 Mazovia, 1 CP852, 2 ISO-8859-2, 3 ASCII bez polskich liter, 4 CP1250.\n";
            return 0;
        }
        if ((args[i] == "--from" || args[i] == "--to") && i + 1 < args.size()) {
            int& page = args[i] == "--from" ? from : to;
            if (!parsePage(args[i + 1], page)) {
                err << "convert: strona kodowa musi być liczbą 0..4: " << args[i + 1] << '\n';
                return 2;
            }
            ++i;
        } else if (file.empty() && args[i].rfind("--", 0) != 0) {
            file = args[i];
        } else {
            err << "convert: nieznany argument " << args[i] << '\n';
            return 2;
        }
    }
    if (from < 0 || to < 0) {
        err << "convert: podaj --from N i --to M\n";
        return 2;
    }
    std::string text;
    if (file.empty()) {
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } else {
        std::ifstream input(file, std::ios::binary);
        if (!input) {
            err << "convert: nie można otworzyć " << file << '\n';
            return 1;
        }
        text.assign(std::istreambuf_iterator<char>(input), std::istreambuf_iterator<char>());
    }
    convertBuffer(text, from, to);
    out << text;
    return 0;
}

} // namespace k4::admin
