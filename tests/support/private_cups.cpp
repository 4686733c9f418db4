#include "support/private_cups.h"

#include <cups/cups.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace k4::test {
namespace fs = std::filesystem;

namespace {

void writeFile(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

std::string firstExisting(std::initializer_list<const char*> paths) {
    for (const char* p : paths)
        if (fs::exists(p)) return p;
    return {};
}

} // namespace

PrivateCups::PrivateCups() {
    const std::string d = dir_.path();
    socket_ = d + "/cups.sock";
    for (const char* sub : {"etc", "spool", "spool/tmp", "cache", "state", "log", "bin", "bin/backend",
                            "bin/daemon", "bin/filter", "capture"})
        fs::create_directories(d + "/" + sub);
    const std::string exec = firstExisting({"/usr/lib/cups/daemon/cups-exec", "/usr/libexec/cups/daemon/cups-exec"});
    const std::string cupsd = firstExisting({"/usr/sbin/cupsd"});
    if (exec.empty() || cupsd.empty()) {
        error_ = "cupsd is not installed (tools/setup.sh installs it)";
        return;
    }
    fs::create_symlink(exec, d + "/bin/daemon/cups-exec");
    // The device: every job's bytes appended to capture/<path of the URI>.
    // Mode 0700 makes the scheduler run it as the owner, who may write here.
    const std::string backend = d + "/bin/backend/k4capture";
    writeFile(backend,
              "#!/bin/sh\n"
              "if [ $# -eq 0 ]; then echo 'direct k4capture \"Unknown\" \"capture\"'; exit 0; fi\n"
              "out=\"" + d + "/capture/${DEVICE_URI#k4capture:}\"\n"
              "if [ $# -ge 6 ]; then cat \"$6\" >> \"$out\"; else cat >> \"$out\"; fi\n");
    ::chmod(backend.c_str(), 0700);
    ::chmod(d.c_str(), 0755);
    writeFile(d + "/etc/cups-files.conf",
              "ServerRoot " + d + "/etc\nServerBin " + d + "/bin\nDataDir /usr/share/cups\n"
              "CacheDir " + d + "/cache\nStateDir " + d + "/state\nRequestRoot " + d + "/spool\n"
              "TempDir " + d + "/spool/tmp\nErrorLog " + d + "/log/error_log\nAccessLog " + d +
              "/log/access_log\nPageLog " + d + "/log/page_log\nPrintcap " + d + "/state/printcap\nSandboxing Relaxed\n"
              "FileDevice Yes\n");
    writeFile(d + "/etc/cupsd.conf",
              "Listen " + socket_ + "\nBrowsing No\nWebInterface No\nLogLevel warn\nDefaultAuthType None\n"
              "<Policy default>\n<Limit All>\nOrder deny,allow\n</Limit>\n</Policy>\n");
    pid_ = ::fork();
    if (pid_ == 0) {
        ::execl(cupsd.c_str(), "cupsd", "-f", "-c", (d + "/etc/cupsd.conf").c_str(), "-s",
                (d + "/etc/cups-files.conf").c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::setenv("CUPS_SERVER", socket_.c_str(), 1);
    cupsSetServer(socket_.c_str());
    for (int i = 0; i < 200 && !ready_; ++i) {
        if (fs::exists(socket_)) {
            http_t* http = httpConnect2(socket_.c_str(), 0, nullptr, AF_UNSPEC, HTTP_ENCRYPTION_NEVER, 1, 1000, nullptr);
            if (http) {
                ready_ = true;
                httpClose(http);
                break;
            }
        }
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            std::ifstream log(d + "/log/error_log");
            std::stringstream s;
            s << log.rdbuf();
            error_ = "cupsd ended at start: " + s.str();
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (!ready_) error_ = "cupsd did not open its socket";
}

PrivateCups::~PrivateCups() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
}

bool PrivateCups::run(const std::string& command) const {
    const std::string line = "CUPS_SERVER=" + socket_ + " " + command + " >>" + dir_.path() + "/log/commands 2>&1";
    return std::system(line.c_str()) == 0;
}

bool PrivateCups::addRawQueue(const std::string& name) {
    return run("/usr/sbin/lpadmin -p " + name + " -v k4capture:" + name + " -E");
}
bool PrivateCups::stopQueue(const std::string& name) { return run("/usr/sbin/cupsdisable " + name); }
bool PrivateCups::startQueue(const std::string& name) { return run("/usr/sbin/cupsenable " + name); }

std::string PrivateCups::capturePath(const std::string& name) const { return dir_.path() + "/capture/" + name; }

std::string PrivateCups::captured(const std::string& name, size_t bytes) const {
    std::string data;
    for (int i = 0; i < 300; ++i) {
        std::ifstream in(capturePath(name), std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        data = s.str();
        if (data.size() >= bytes) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return data;
}

int PrivateCups::pendingJobs(const std::string& name) const {
    cups_job_t* jobs = nullptr;
    const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, name.c_str(), 0, CUPS_WHICHJOBS_ACTIVE);
    cupsFreeJobs(n, jobs);
    return n;
}

} // namespace k4::test
