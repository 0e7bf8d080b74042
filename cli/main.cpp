#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "cli/its90_cli.h"
#include "cli/words.h"

namespace {

// The message catalogs beside the program (…/bin/its90 → …/share/locale, as installed and
// in the build tree), or where it was configured to be installed.
std::string locale_dir() {
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        const std::filesystem::path beside = exe.parent_path().parent_path() / "share" / "locale";
        if (std::filesystem::is_directory(beside, error)) return beside.string();
    }
    return ITS90_LOCALEDIR;
}

}  // namespace

int main(int argc, char** argv) {
    its90::cli::use_message_catalogs(locale_dir());
    std::ios::sync_with_stdio(false);
    std::cin.tie(nullptr);  // the batch reader flushes itself before a read that would wait
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
