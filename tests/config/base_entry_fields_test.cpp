// The receiving-base entry dialog's fields and the rules that store them.
#include "config/base_entry_fields.h"

#include <gtest/gtest.h>

#include <cstring>

namespace k4 {
namespace {

BaseEntry sample() {
    BaseEntry e{};
    std::strcpy(e.name, "B~aza");
    e.flags = kBaseAwaitsTg | 0x01;
    e.rsLink = 2;
    e.radio = 0x21;
    e.gprsAddress[0] = 10;
    e.gprsAddress[3] = 7;
    std::strcpy(e.gsmNumber, "600100200");
    e.gsmParam = 3;
    e.tgSubscriber = 1234;
    return e;
}

TEST(BaseEntryFields, ShownAsTheMasksWantThem) {
    const BaseEntryFields f = baseEntryFields(sample());
    EXPECT_EQ(f.name, "B~aza");
    EXPECT_EQ(f.radio, "21");
    EXPECT_EQ(f.gprsAddress, " 10.  0.  0.  7");
    EXPECT_EQ(f.gsmAck, 2);
    EXPECT_EQ(f.ethAck, -1);
    EXPECT_FALSE(f.conversion);
}

TEST(BaseEntryFields, StoredByTheDialogsRules) {
    struct Case {
        const char* what;
        std::function<void(BaseEntryFields&)> edit;
        std::function<void(const BaseEntry&)> check;
    };
    const std::vector<Case> cases = {
        {"radio 12", [](BaseEntryFields& f) { f.radio = "12"; }, [](const BaseEntry& e) { EXPECT_EQ(e.radio, 0x12); }},
        {"radio 00 switches it off", [](BaseEntryFields& f) { f.radio = "00"; },
         [](const BaseEntry& e) { EXPECT_EQ(e.radio, 0); }},
        {"radio without a digit keeps the byte", [](BaseEntryFields& f) { f.radio = "__"; },
         [](const BaseEntry& e) { EXPECT_EQ(e.radio, 0x21); }},
        {"a blank GPRS address is 0.0.0.0", [](BaseEntryFields& f) { f.gprsAddress = "   .   .   .   "; },
         [](const BaseEntry& e) { EXPECT_EQ(e.gprsAddress[0], 0); }},
        {"no choice stores 2", [](BaseEntryFields& f) { f.gsmAck = -1; f.ethAck = -1; },
         [](const BaseEntry& e) { EXPECT_EQ(e.gsmParam, 2); EXPECT_EQ(e.ethParam, 2); }},
        {"conversion keeps the other flags", [](BaseEntryFields& f) { f.conversion = true; },
         [](const BaseEntry& e) { EXPECT_EQ(e.flags, kBaseAwaitsTg | 0x01 | kBaseEventConversion); }},
        {"the link and the waiting forward are not the dialog's", [](BaseEntryFields&) {},
         [](const BaseEntry& e) { EXPECT_EQ(e.rsLink, 2); EXPECT_EQ(e.tgSubscriber, 1234); }},
        {"the name in Mazovia, at most ten", [](BaseEntryFields& f) { f.name = "Łódź-Śródmieście"; },
         [](const BaseEntry& e) { EXPECT_EQ(std::strlen(e.name), 10u); EXPECT_EQ(static_cast<uint8_t>(e.name[0]), 0x9C); }},
    };
    for (const Case& c : cases) {
        BaseEntry e = sample();
        BaseEntryFields f = baseEntryFields(e);
        c.edit(f);
        EXPECT_FALSE(storeBaseEntryFields(f, e).has_value()) << c.what;
        SCOPED_TRACE(c.what);
        c.check(e);
    }
}

TEST(BaseEntryFields, AnImpossibleAddressIsRefusedAndNothingStored) {
    BaseEntry e = sample();
    BaseEntryFields f = baseEntryFields(e);
    f.ethAddress = "300.  0.  0.  1";
    f.name = "Inna";
    const auto refusal = storeBaseEntryFields(f, e);
    ASSERT_TRUE(refusal.has_value());
    EXPECT_STREQ(e.name, "B~aza");
}

} // namespace
} // namespace k4
