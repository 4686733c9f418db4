// A "conf" of any length and content: loading it, summarising it and starting
// on it must never read or write outside the block.
#include "baselink/path_types.h"
#include "config/config.h"
#include "config/param_sys.h"
#include "config/start_config.h"
#include "platform/file.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

struct NoPorts final : k4::SerialStartStep {
    int openSerialPorts(k4::ConfigBlock&) override { return 0; }
    void closeSerialPorts(const k4::ConfigBlock&) override {}
    void setLinkDelays(int, int) override {}
};

const std::string& scratchDir() {
    static const std::string dir = [] {
        static char pattern[] = "/tmp/k4fuzz-conf-XXXXXX";
        std::string made(::mkdtemp(pattern));
        std::atexit([] {
            const std::string d(pattern);
            ::unlink((d + "/conf").c_str());
            ::unlink((d + "/conf.new").c_str());
            ::rmdir(d.c_str());
        });
        return made;
    }();
    return dir;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    k4::DataDir dir(scratchDir());
    const std::string path = dir.file("conf");
    if (!k4::replaceFileDurably(path, std::string_view(reinterpret_cast<const char*>(data), size), nullptr))
        return 0;
    k4::Config config(dir);
    if (config.LoadConfig(0) == 0) (void)k4::ParamSys(config.block(), dir).lines();
    if (config.LoadConfig(1) == 0) {
        (void)k4::ParamSys(config.block(), dir).lines();
        NoPorts ports;
        k4::PathTypeTable pathTypes;
        (void)k4::StartConfig(config, 0, ports, pathTypes);
    }
    return 0;
}
