#include "res/string_table.h"
