#include "wordnet/clue_scorer.h"
