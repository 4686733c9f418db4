#pragma once
// The fields of the subscriber card as the record holds them, and the rules
// by which the card's inputs go back into the record: texts cut to their
// widths, the postal code kept as its five digits, the IP address read from
// its dotted text, the paths with their receiving bases and the GSM
// operator. Texts here are Mazovia; the window converts at its edge.
#include "database/subscriber_record.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace k4 {

struct CardFields {
    int object = 0;
    std::string name, town, code, address, tel, telGsm, ip, contact1, contact2, passwd, central;
    uint8_t tracks = 0;
    int radioBase = 0;   // 0..4: base 1..5; -1 nothing chosen
    int fixedBase = 0;
    int gsmOperator = 0; // 0 "Dowolny" .. 3 "Era"
};

// The card's limits, each the field's width less its NUL.
enum : int {
    kCardNameLimit = 29,
    kCardTownLimit = 19,
    kCardAddressLimit = 29,
    kCardTelLimit = 13,
    kCardGsmLimit = 9,
    kCardContactLimit = 29,
    kCardPasswdLimit = 10,
    kCardCentralLimit = 11,
};

CardFields cardFieldsOf(const SubscriberRecord& record);
// Copies the inputs into the record before it is saved, deleted, printed or
// given to the tests dialog.
void copyCardIntoRecord(const CardFields& fields, SubscriberRecord& record);

// "%d.%d.%d.%d" of the four bytes in their stored order.
std::string ipText(int32_t ip);
// A text that does not read as four numbers of 0..255 stores 0.
int32_t ipFromText(std::string_view text);
// "NN-NNN" of the stored digits, and the digits of such a text.
std::string postalCodeShown(std::string_view digits);
std::string postalCodeDigits(std::string_view shown);

} // namespace k4
