#include "content/day_scraper.h"
