// gridwell-cli meaning WORD...: the WordNet meaning of a word.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

// Prints the meaning of the words (joined by blanks: "big cat") to `out`.
// Exit 0 found, 1 not found ("No meaning found for WORD." on stderr), 2 when
// the WordNet database is missing or damaged (its message on stderr).
int MeaningCommand(const std::vector<std::string>& words, std::FILE* out);
