#include "search/clue_scorer.h"
#include "search/find_words.h"
