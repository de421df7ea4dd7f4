// make-definition-index WORDNET_DIR OUTPUT: builds the definition index
// (wordnet/definition_index.h) of the WordNet database in WORDNET_DIR.
#include <cstdio>
#include <string>

#include "wordnet/definition_index.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make-definition-index WORDNET_DIR OUTPUT\n");
        return 2;
    }
    std::string error;
    if (!WriteDefinitionIndex(argv[1], argv[2], error)) {
        std::fprintf(stderr, "make-definition-index: %s\n", error.c_str());
        std::remove(argv[2]);
        return 1;
    }
    return 0;
}
