// `its90 table` against every entry of the eight published NIST 1 degC tables, which
// published_tables.py computed independently, in exact decimal arithmetic, into
// data/published_tables.txt.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/cli/run_cli.h"

namespace its90::cli::testing {
namespace {

// Temperature -> cell text of a text table as `its90 table` lays it out.
std::map<int, std::string> cells(const std::string& table) {
    std::map<int, std::string> result;
    std::istringstream in(table);
    std::vector<int> columns;  // the temperature offset of each column
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("    \u2103", 0) == 0) {
            std::istringstream heading(line.substr(std::string("    \u2103").size()));
            columns.clear();
            for (int c; heading >> c;) columns.push_back(c);
            continue;
        }
        if (columns.empty() || line.size() < 6) continue;
        const int row = std::stoi(line.substr(0, 6));
        for (std::size_t c = 0; c < columns.size() && 6 + 9 * c < line.size(); ++c) {
            std::string cell = line.substr(6 + 9 * c, 9);
            cell.erase(0, cell.find_first_not_of(' '));
            if (cell.empty()) continue;
            const auto [at, inserted] = result.emplace(row + columns[c], cell);
            EXPECT_EQ(at->second, cell) << "two values for " << row + columns[c];
        }
    }
    return result;
}

TEST(PublishedTables, EveryEntryDigitForDigit) {
    std::ifstream data(ITS90_PUBLISHED_TABLES);
    ASSERT_TRUE(data) << ITS90_PUBLISHED_TABLES;
    std::map<std::string, std::map<int, std::string>> printed;
    int entries = 0, wrong = 0;
    std::string type, value;
    int t = 0;
    while (data >> type >> t >> value) {
        if (!printed.count(type)) {
            const Outcome o = run_cli({"table", type});
            ASSERT_EQ(o.status, 0) << type;
            printed[type] = cells(o.out);
        }
        ++entries;
        const auto found = printed[type].find(t);
        if (found == printed[type].end() || found->second != value) {
            ++wrong;
            ADD_FAILURE() << type << " at " << t << ": published " << value << ", printed "
                          << (found == printed[type].end() ? "nothing" : found->second);
        }
    }
    EXPECT_EQ(entries, 12026);
    EXPECT_EQ(wrong, 0);
}

}  // namespace
}  // namespace its90::cli::testing
