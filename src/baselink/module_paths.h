#pragma once
// What the input poll needs of the path table: which of the seven module
// slots hold a path, the kind of its module, and the path's own poll.
namespace k4 {

class ModulePaths {
public:
    virtual ~ModulePaths() = default;
    virtual bool exists(int slot) const = 0;
    virtual int pathKind(int slot) const = 0;
    // One poll of the path; its state (0, 3, 14 and 15 let the next path in).
    virtual int poll(int slot, int first, int second) = 0;
};

} // namespace k4

namespace k4 {

// The path table before its discovery of the interface modules has run: no
// slot holds a path, so the input poll serves the base link alone.
class EmptyPathTable final : public ModulePaths {
public:
    bool exists(int) const override { return false; }
    int pathKind(int) const override { return 0; }
    int poll(int, int, int) override { return 0; }
};

} // namespace k4
