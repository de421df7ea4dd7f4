// make-phrase-file [--words N] OUT LIST: packs a list of phrases or
// abbreviations into the phrase file OUT (phrases/phrase_file.h). Each line
// of LIST is an entry, words separated by a space, underscore or hyphen,
// optionally followed by a TAB and its SCOWL level. Entries of fewer than N
// words (2 unless given) and lines that are not letters so separated are
// left out; how many were kept goes to stderr.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "phrases/phrase_file.h"

int main(int argc, char** argv) {
    int minWords = 2;
    int arg = 1;
    if (argc > 2 && std::string(argv[1]) == "--words") {
        minWords = std::atoi(argv[2]);
        arg = 3;
    }
    if (argc - arg != 2 || minWords < 1) {
        std::fprintf(stderr, "usage: make-phrase-file [--words N] OUT LIST\n");
        return 2;
    }
    std::ifstream in(argv[arg + 1]);
    if (!in) {
        std::fprintf(stderr, "make-phrase-file: cannot read %s\n", argv[arg + 1]);
        return 1;
    }
    std::vector<PhraseEntry> entries;
    std::string line;
    size_t skipped = 0;
    while (std::getline(in, line)) {
        int level = 0;
        const size_t tab = line.find('\t');
        if (tab != std::string::npos) {
            level = std::atoi(line.c_str() + tab + 1);
            line.resize(tab);
        }
        PhraseEntry entry;
        if (!ParsePhraseText(line, entry, minWords) || entry.letters.size() < 2) {
            ++skipped;
            continue;
        }
        entry.rank = level > 0 ? RankOfLevel(level) : kPhraseNoRank;
        entries.push_back(std::move(entry));
    }
    const size_t kept = entries.size();
    std::string bytes;
    try {
        bytes = BuildPhraseFile(std::move(entries));
    } catch (const std::invalid_argument& e) {
        std::fprintf(stderr, "make-phrase-file: %s\n", e.what());
        return 1;
    }
    const std::string temp = std::string(argv[arg]) + ".tmp";
    std::FILE* out = std::fopen(temp.c_str(), "wb");
    if (!out || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size() || std::fclose(out) != 0 ||
        std::rename(temp.c_str(), argv[arg]) != 0) {
        std::fprintf(stderr, "make-phrase-file: cannot write %s\n", argv[arg]);
        return 1;
    }
    std::fprintf(stderr, "make-phrase-file: %zu entries (%zu lines left out), %zu bytes\n", kept, skipped,
                 bytes.size());
    return 0;
}
