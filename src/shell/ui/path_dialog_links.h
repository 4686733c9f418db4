#pragma once
// The windows "Tory badania" opens over a running station: the tests saved
// restart their supervision, the subscriber's history, the archive files.
#include "processing/ui/chk_sbs_dlg.h"

namespace k4 {

class Printing;
class Station;

// printing: what the history windows print through, or null.
ChkSbsDlgLinks pathDialogLinks(Station& station, Printing* printing);

} // namespace k4
