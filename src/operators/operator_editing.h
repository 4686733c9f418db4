#pragma once
// "Zapisz" of the operator edit dialog: the checks, the number an operator
// keeps or gets, and the whole table saved.
#include <string>

namespace k4 {

class Messages;
class SOperatLst;

// at: the record edited, or -1 to add one. code and surname are Mazovia,
// already cut to 10 and 29 characters. true when the table was saved.
// Every refusal shows its message and leaves the file as it was.
bool saveOperator(SOperatLst& list, int at, const std::string& code, const std::string& surname, Messages& messages);

// "Usuń": asks "Usunąć operatora?"; on Yes removes record at and saves.
bool removeOperator(SOperatLst& list, int at, Messages& messages);

} // namespace k4
