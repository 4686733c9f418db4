#pragma once
// What the order windows do, without the windows: the lines of the table of
// order names and of a subscriber's orders, the reading of a typed code, the
// changes the dialogs make and the printout of the table. Texts are Mazovia;
// typed text comes in as UTF-8 and is converted here.
#include "database/order_names_table.h"
#include "database/orders_table_list.h"

#include <optional>
#include <string>
#include <string_view>

namespace k4 {

// A code typed in hexadecimal, read as the C library's "%x" reads it:
// blanks first, an optional "0x", then the digits up to the first that is
// not one. Nothing read: none. A sign or a value too long for a code gives
// a value out of every range (-1), never a code that was not typed.
std::optional<int> readHexCode(std::string_view text);

// "%02X %s": one defined order of "Lista wszystkich rozkazów".
std::string orderNameLine(const OrderNamesTable& names, int code);
// "%02X (%2.2X) %-60s": permitted order i of "Lista rozkazów abonenta"
// (and of the path dialog's orders).
std::string subscriberOrderLine(const OrdersTableList& list, int i);

// "&Zapisz" of "Rozkaz": the code typed and the description typed (UTF-8).
// 0 stored; 1 not stored and the dialog stays open (a code out of range,
// told, or the operator would not replace another order); -1 failed (told).
int storeOrderDefinition(OrderNamesTable& names, int oldCode, std::string_view codeText,
                         std::string_view descriptionUtf8);

// OK of "Rozkaz" / "Kod wysyłanego rozkazu:": order i goes out under the
// value typed, 1..255; anything else is told and changes nothing. 0 changed.
int changeSentCode(OrdersTableList& list, int i, std::string_view text);
// The two hexadecimal digits the dialog starts with.
std::string sentCodeText(const OrdersTableList& list, int i);

// "&Wydruk" of "Lista wszystkich rozkazów": every defined order between
// the framing lines.
std::string orderNamesPrintout(const OrderNamesTable& names);

} // namespace k4
