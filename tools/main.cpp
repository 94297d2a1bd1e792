#include <iostream>

#include "tools/tool.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return trisk::RunTool(args, std::cout, std::cerr);
}
