#include "support/local_site.h"

#include "runtime/app_identity.h"
#include "runtime/http_transfer.h"

#include <gtest/gtest.h>

// No test may reach outside the machine: unless a test chooses a server of
// its own, the program's site is a local port that refuses at once.
TEST(LocalSite, TestsStartPointedAtAClosedLocalPort)
{
    ASSERT_EQ(runtime::SiteBaseUrl(), testsupport::ClosedLocalSiteUrl()); // nothing below may leave the machine
    EXPECT_TRUE(runtime::SiteBaseUrl().startsWith("http://127.0.0.1:"));
    EXPECT_FALSE(runtime::HttpFetchToMemory(runtime::SiteBaseUrl() + "/").has_value());
}
