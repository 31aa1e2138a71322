#include "content/day_scraper.h"

#include <gtest/gtest.h>
