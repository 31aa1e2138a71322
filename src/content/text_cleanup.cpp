#include "content/text_cleanup.h"
