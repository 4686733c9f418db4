// Compiled into every test program, so a test behaves the same under CTest
// and when its program is run by hand.
#include <cstdlib>
#include <ctime>

namespace {

struct TestEnvironment {
    TestEnvironment() {
        // Stamps are local time: the tests run in the time zone of the centre.
        ::setenv("TZ", "Europe/Warsaw", 1);
        ::tzset();
        // Window tests draw off screen unless told otherwise.
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    }
} environment;

} // namespace

// fontconfig keeps its caches for the life of the process; that is no leak of ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }
