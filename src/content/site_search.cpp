#include "content/site_search.h"
