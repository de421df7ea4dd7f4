// make-commonness-table OUTPUT [INPUT]
// Reads "WORD LEVEL" lines (tools/default-word-list --levels) from INPUT or
// standard input and writes the commonness table to OUTPUT, through a
// temporary file that replaces OUTPUT only once it is complete.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "search/commonness_table.h"

namespace {

int Fail(const std::string& what) {
    std::cerr << "make-commonness-table: " << what << '\n';
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3)
        return Fail("usage: make-commonness-table OUTPUT [INPUT]");
    std::ifstream file;
    if (argc == 3) {
        file.open(argv[2]);
        if (!file)
            return Fail(std::string("cannot read ") + argv[2]);
    }
    std::istream& in = argc == 3 ? static_cast<std::istream&>(file) : std::cin;

    std::vector<std::pair<std::string, int>> words;
    std::string line;
    size_t lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        std::istringstream fields(line);
        std::string word;
        int level = -1;
        if (!(fields >> word >> level))
            return Fail("line " + std::to_string(lineNo) + " is not \"WORD LEVEL\"");
        words.emplace_back(std::move(word), level);
    }
    if (words.empty())
        return Fail("no words given");

    std::string table;
    try {
        table = BuildCommonnessTable(std::move(words));
    } catch (const std::invalid_argument& e) {
        return Fail(e.what());
    }
    const std::string output = argv[1];
    const std::string temp = output + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(table.data(), static_cast<std::streamsize>(table.size()));
        out.close();
        if (!out) {
            std::remove(temp.c_str());
            return Fail("cannot write " + temp);
        }
    }
    if (std::rename(temp.c_str(), output.c_str()) != 0) {
        std::remove(temp.c_str());
        return Fail("cannot rename " + temp + " to " + output);
    }
    return 0;
}
