#include "platform/file.h"
#include "app/work_dir.h"
