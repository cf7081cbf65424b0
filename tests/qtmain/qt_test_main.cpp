#include <gtest/gtest.h>

#include <QCoreApplication>

#include "main_thread.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    MainThread::Register();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
