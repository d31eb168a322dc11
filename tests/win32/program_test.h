#pragma once

#include <gtest/gtest.h>

#include "harness.h"
#include "win32/window_text.h"

namespace quellgate::testing {

// A fresh copy of the program with no stored settings, for each test.
class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override { ClearStoredState(); }
    void TearDown() override {
        program.Stop();
        ClearStoredState();
    }
    static std::string MessageOf(HWND box) { return win32::WindowText(GetDlgItem(box, 0xFFFF)); }

    Program program;
};

}  // namespace quellgate::testing
