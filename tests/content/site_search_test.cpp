#include "content/site_search.h"

#include <gtest/gtest.h>
