#pragma once
// A fresh directory for one test, removed with everything in it afterwards.
#include <string>
#include <string_view>

namespace k4::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

    void write(const std::string& name, std::string_view bytes) const;
    std::string read(const std::string& name) const;

private:
    std::string path_;
};

} // namespace k4::test
