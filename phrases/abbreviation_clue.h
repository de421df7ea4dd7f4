// Whether a clue asks for an abbreviation: "Space agency, for short",
// "Tel. co.'s org.", "Soon, initially", "Compact disc, briefly", "Abbr.".
#pragma once

#include <string_view>

bool IsAbbreviationClue(std::string_view clue);
