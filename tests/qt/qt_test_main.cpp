#include <gtest/gtest.h>

#include "qt/application.h"
#include "qt_test_main.h"

namespace quellgate::qt::testing {

fakes::RecordedNotes& Notes() {
    static fakes::RecordedNotes notes;
    return notes;
}

}  // namespace quellgate::qt::testing

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // No display is needed unless one is asked for.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    quellgate::qt::Application application(argc, argv, quellgate::qt::testing::Notes());
    return RUN_ALL_TESTS();
}
