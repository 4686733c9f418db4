#include "support/fake_serial_line.h"

namespace k4::test {

std::vector<uint8_t> baseFrame(const std::vector<uint8_t>& records, int checksumError) {
    std::vector<uint8_t> frame{0x0A, static_cast<uint8_t>(records.size())};
    frame.insert(frame.end(), records.begin(), records.end());
    frame.push_back(0x0D);
    uint8_t sum = 0;
    for (uint8_t b : frame) sum = static_cast<uint8_t>(sum + b);
    frame.push_back(static_cast<uint8_t>(sum + checksumError));
    return frame;
}

} // namespace k4::test
