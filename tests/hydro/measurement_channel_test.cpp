// The measurement inputs: a range typed for each type on each converter is
// stored as its two calibration points, raw signals convert to the values
// the operator sees and back, and the calibrations that have no line
// through them say so instead of showing a number.
#include "hydro/measurement_channel.h"

#include <gtest/gtest.h>

#include <cstring>

namespace k4 {
namespace {

MsrSetting calibratedByRange(int type, int converter, int resistor, const char* from, const char* to) {
    MsrSetting s;
    s.type = type;
    s.converter = converter;
    s.resistor = resistor;
    const Converted low = parseScaled(from, s.decimals());
    const Converted high = parseScaled(to, s.decimals());
    EXPECT_TRUE(low.ok && high.ok) << from << " " << to;
    const SignalSpan span = converterSpan(converter, resistor);
    s.p0 = static_cast<int>(low.value);
    s.p1 = static_cast<int>(high.value);
    s.v0 = span.low;
    s.v1 = span.high;
    return s;
}

struct ConversionCase {
    int type, converter, resistor;
    const char *from, *to;
    int p0, p1, v0, v1;
    int raw;
    const char* shown; // "%6.*lf" of the value of raw
    const char *rangeLow, *rangeHigh;
};

TEST(MeasurementChannel, EveryTypeOnEveryConverterConvertsBothWays) {
    const ConversionCase cases[] = {
        // Pressure on 4-20 mA over 250 ohms, 0 to 1.6 MPa: 3 V is half way.
        {2, 0, 25, "0", "1.6", 0, 160, 1000, 5000, 3000, "  0.80", "  0.00", "  1.60"},
        {0, 1, 25, "0", "50", 0, 500, 0, 5000, 1234, "  12.3", "   0.0", "  50.0"},
        {1, 2, 100, "0", "20", 0, 200, 0, 5000, 2501, "  10.0", "   0.0", "  20.0"},
        {3, 3, 0, "0", "100", 0, 1000, 0, 10000, 3333, "  33.3", "   0.0", " 100.0"},
        // Below the loop's 4 mA the value goes under the range's start.
        {4, 0, 25, "0", "360", 0, 3600, 1000, 5000, 999, "  -0.1", "   0.0", " 360.0"},
        {5, 1, 12, "0.5", "5.5", 50, 550, 0, 2400, 2400, "  5.50", "  0.50", "  5.50"},
        {6, 3, 0, "0", "100", 0, 1000, 0, 10000, 10000, " 100.0", "   0.0", " 100.0"},
        {2, 2, 25, "0.1", "1", 10, 100, 0, 1250, 625, "  0.55", "  0.10", "  1.00"},
        {3, 1, 5, "10", "30", 100, 300, 0, 1000, 501, "  20.0", "  10.0", "  30.0"},
    };
    for (const ConversionCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << measurementType(c.type).name << " " << converterName(c.converter));
        const MsrSetting s = calibratedByRange(c.type, c.converter, c.resistor, c.from, c.to);
        EXPECT_EQ(s.p0, c.p0);
        EXPECT_EQ(s.p1, c.p1);
        EXPECT_EQ(s.v0, c.v0);
        EXPECT_EQ(s.v1, c.v1);
        const Converted value = rawToValue(s, c.raw);
        ASSERT_TRUE(value.ok);
        EXPECT_EQ(formatScaled(value.value, s.decimals()), c.shown);
        const RangeText range = rangeText(s);
        ASSERT_TRUE(range.ok);
        EXPECT_EQ(range.low, c.rangeLow);
        EXPECT_EQ(range.high, c.rangeHigh);
        // Back: each calibration point gives its own signal, and a value
        // converted from a signal gives that signal to within what one
        // unit of the last decimal spans.
        EXPECT_EQ(valueToRaw(s, s.p0).value, s.v0);
        EXPECT_EQ(valueToRaw(s, s.p1).value, s.v1);
        const Converted back = valueToRaw(s, value.value);
        ASSERT_TRUE(back.ok);
        const double perUnit = static_cast<double>(s.v1 - s.v0) / (s.p1 - s.p0);
        EXPECT_LE(std::abs(back.value - c.raw), std::abs(perUnit) / 2 + 1);
    }
}

TEST(MeasurementChannel, ConvertersGiveTheirSignalSpans) {
    const struct {
        int converter, resistor, low, high;
    } spans[] = {{0, 25, 1000, 5000}, {1, 25, 0, 5000}, {2, 25, 0, 1250}, {3, 25, 0, 10000},
                 {3, 0, 0, 10000},    {4, 25, 0, 1},    {5, 25, 0, 0},    {15, 25, 0, 0}};
    for (const auto& s : spans) {
        const SignalSpan span = converterSpan(s.converter, s.resistor);
        EXPECT_EQ(span.low, s.low) << s.converter;
        EXPECT_EQ(span.high, s.high) << s.converter;
    }
}

TEST(MeasurementChannel, CalibrationsWithoutALineSayWhyInsteadOfAValue) {
    // Two points at the same signal: every signal would divide by zero.
    MsrSetting sameSignal;
    sameSignal.type = 2;
    sameSignal.p0 = 0;
    sameSignal.p1 = 160;
    sameSignal.v0 = sameSignal.v1 = 3000;
    const Converted value = rawToValue(sameSignal, 3000);
    EXPECT_FALSE(value.ok);
    EXPECT_NE(value.error.find("ten sam sygnał"), std::string::npos);
    EXPECT_FALSE(rangeText(sameSignal).ok);
    EXPECT_NE(channelLine(sameSignal, 0).find("bez kalibracji"), std::string::npos) << channelLine(sameSignal, 0);

    // Two points of the same value: no signal can be found for a value.
    MsrSetting flat;
    flat.p0 = flat.p1 = 100;
    flat.v0 = 1000;
    flat.v1 = 5000;
    EXPECT_EQ(rawToValue(flat, 4321).value, 100);
    EXPECT_FALSE(valueToRaw(flat, 100).ok);

    // A falling line (points given in either order) and the extreme 16-bit
    // points convert without overflow.
    MsrSetting falling;
    falling.p0 = 32767;
    falling.p1 = -32768;
    falling.v0 = -32768;
    falling.v1 = 32767;
    EXPECT_EQ(rawToValue(falling, -32768).value, 32767);
    EXPECT_EQ(rawToValue(falling, 32767).value, -32768);
    EXPECT_EQ(rawToValue(falling, 0).value, -1);
    EXPECT_EQ(valueToRaw(falling, -1).value, 0);
    EXPECT_FALSE(rawToValue(falling, int64_t{1} << 40).ok);
}

TEST(MeasurementChannel, TypedValuesAreScaledToTheTypesDecimals) {
    const struct {
        const char* text;
        int decimals;
        bool ok;
        int value;
    } cases[] = {
        {"12.5", 2, true, 1250}, {"1.6", 2, true, 160},      {"0.05", 2, true, 5},     {"1.234", 1, true, 12},
        {"", 1, true, 0},        {"12.", 1, true, 120},      {"3276.7", 1, true, 32767},
        // Digits beyond 16 bits are dropped from the right.
        {"3276.75", 1, true, 32767}, {"0.123456", 2, true, 12},
        // What the field cannot hold is refused, not wrapped.
        {"1000", 2, false, 0}, {"99999", 0, false, 0}, {"1.2.3", 1, false, 0}, {"-5", 1, false, 0}, {"1,5", 1, false, 0},
    };
    for (const auto& c : cases) {
        const Converted r = parseScaled(c.text, c.decimals);
        EXPECT_EQ(r.ok, c.ok) << c.text;
        if (c.ok) EXPECT_EQ(r.value, c.value) << c.text;
        else EXPECT_FALSE(r.error.empty()) << c.text;
    }
}

TEST(MeasurementChannel, SettingsSitInTheRecordAsTheDeviceKeepsThem) {
    SubscriberRecord r{};
    MsrSetting s;
    s.type = 2;
    s.converter = 0;
    s.resistor = 25;
    s.p0 = 0;
    s.p1 = 160;
    s.v0 = 1000;
    s.v1 = 5000;
    writeMsrSetting(r, 1, s);
    const uint8_t expected[10] = {0x02, 25, 0x00, 0x00, 0xA0, 0x00, 0xE8, 0x03, 0x88, 0x13};
    EXPECT_EQ(std::memcmp(r.msr + 10, expected, 10), 0);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(r.msr[i], 0) << "channel 0 untouched";
    const MsrSetting back = readMsrSetting(r, 1);
    EXPECT_EQ(back.type, 2);
    EXPECT_EQ(back.resistor, 25);
    EXPECT_EQ(back.p1, 160);
    EXPECT_EQ(back.v1, 5000);
    // A negative point and the converter in the high nibble.
    s.converter = 3;
    s.p0 = -150;
    writeMsrSetting(r, 5, s);
    EXPECT_EQ(r.msr[50], 0x32);
    EXPECT_EQ(r.msr[52], 0x6A);
    EXPECT_EQ(r.msr[53], 0xFF);
    EXPECT_EQ(readMsrSetting(r, 5).p0, -150);
}

TEST(MeasurementChannel, ListLinesNameTheInputTypeRangeUnitAndConverter) {
    EXPECT_EQ(inputLabel(0), "L12/A0");
    EXPECT_EQ(inputLabel(5), "L07/A5");
    EXPECT_EQ(channelLine(MsrSetting{}, 2), "L10/A2 -----");
    const MsrSetting s = calibratedByRange(2, 0, 25, "0", "1.6");
    EXPECT_EQ(channelLine(s, 0), "L12/A0 Ciśnienie     0.00   1.60 MPa 4-20 [mA]");
    const MsrSetting t = calibratedByRange(3, 3, 0, "0", "100");
    EXPECT_EQ(channelLine(t, 3), "L09/A3 Temperatura    0.0  100.0 °C  0-10 [V] ");
    for (int type = 0; type < kMsrTypes; ++type) EXPECT_STRNE(measurementType(type).unit, "");
    EXPECT_EQ(measurementType(5).decimals, 2);
}

} // namespace
} // namespace k4
