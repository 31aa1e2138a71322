#include <QApplication>

#include <gtest/gtest.h>

// Pixmaps, icons and widgets need a GUI application object, which the shared
// test main (a QCoreApplication) does not give.
int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
