#include "search/find_words.h"
#include "app/main_dlg.h"
