#include "content/text_cleanup.h"

#include <gtest/gtest.h>
