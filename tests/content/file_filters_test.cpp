#include "content/file_filters.h"

#include <gtest/gtest.h>
