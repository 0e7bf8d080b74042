#include <sys/stat.h>

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
    // A directory reads as an empty file through the stream; it is an error to read one.
    struct stat input {};
    if (fstat(0, &input) == 0 && S_ISDIR(input.st_mode)) std::cin.setstate(std::ios::badbit);
    std::vector<std::string> args(argv + 1, argv + argc);
    const int status = its90::cli::run(args, std::cin, std::cout, std::cerr);
    std::cout.flush();
    return status;
}
