#pragma once
// The directory prompt of the backup, the restore and the automatic dump:
// the operator picks a directory, which is taken when it exists or (with
// create) can be made.
#include "messages/messages.h"

#include <string>

namespace k4 {

// 0 chosen (directory holds it, without a trailing separator), 1 cancelled,
// -1 after "Błąd otwarcia katalogu". title and label are UTF-8.
int AskDirectory(Messages& messages, const std::string& title, const std::string& label, std::string& directory,
                 bool create);

} // namespace k4
