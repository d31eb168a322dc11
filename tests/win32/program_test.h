#pragma once

#include <gtest/gtest.h>

#include "harness.h"

namespace quellgate::testing {

// A fresh copy of the program with no stored settings, for each test.
class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override { ClearStoredState(); }
    void TearDown() override {
        program.Stop();
        ClearStoredState();
    }

    Program program;
};

}  // namespace quellgate::testing
