#include <iostream>
#include <string>
#include <vector>

#include "cli/its90_cli.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    std::cin.tie(nullptr);  // no flush of the output before every line read
    // Output in large writes: a batch of a million values is a few hundred of them.
    static char output_buffer[1 << 16];
    std::cout.rdbuf()->pubsetbuf(output_buffer, sizeof output_buffer);
    std::vector<std::string> args(argv + 1, argv + argc);
    const int status = its90::cli::run(args, std::cin, std::cout, std::cerr);
    std::cout.flush();
    return status;
}
