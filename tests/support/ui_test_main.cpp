#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

// Widget tests run for real on Qt's offscreen platform. gtest_discover_tests
// runs this binary at build time without CTest's environment, so the platform
// is chosen here too.
int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
