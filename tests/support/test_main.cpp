#include "support/local_site.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

// Child processes, local sockets and timers need an application object.
int main(int argc, char** argv)
{
    testsupport::PointSiteAtClosedLocalPort();
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
