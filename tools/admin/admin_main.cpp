// kestrel4-admin: the technician's tool over the station's own code.
#include "admin/admin_commands.h"

#include <iostream>

int main(int argc, char** argv) {
    k4::admin::Args args(argv + 1, argv + argc);
    return k4::admin::runAdmin(args, std::cin, std::cout, std::cerr);
}
