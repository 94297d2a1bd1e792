#include <exception>
#include <iostream>

#include "tools/tool.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    // Every bad argument and file has its own answer; what is left (the
    // machine out of memory) ends with the usage status, never an abort.
    try {
        return trisk::RunTool(args, std::cout, std::cerr);
    } catch (const std::exception& error) {
        std::cerr << "trisk-tool: " << error.what() << "\n";
    }
    return 2;
}
