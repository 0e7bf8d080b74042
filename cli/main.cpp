#include <iostream>
#include <string>
#include <vector>

#include "cli/its90_cli.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    std::cin.tie(nullptr);  // no flush of the output before every line read
    std::vector<std::string> args(argv + 1, argv + argc);
    const int status = its90::cli::run(args, std::cin, std::cout, std::cerr);
    std::cout.flush();
    return status;
}
