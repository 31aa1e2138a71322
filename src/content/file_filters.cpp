#include "content/file_filters.h"
