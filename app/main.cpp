#include <iostream>
#include <string>
#include <vector>

#include "app/BatchRunner.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    for (const std::string& a : args)
        if (a == "--batch") return kv::runBatch(args, std::cin, std::cout, std::cerr);
    std::cerr << "Použití: korvalinth --batch SOUBOR|- [--digits N]\n";
    return 2;
}
