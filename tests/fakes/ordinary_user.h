#pragma once
#ifndef _WIN32

#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "fakes/native.h"

namespace tav::test {

// Root ignores file permissions: a test that needs them runs itself again in a child process
// without the capabilities that allow that. True where this process is such a run (or no
// root at all): the test body goes on; false in the root parent, which has checked the child.
inline bool RunsAsOrdinaryUser() {
    constexpr const char* kOrdinaryRun = "TAV_TEST_WITHOUT_DAC_OVERRIDE";
    if (geteuid() != 0 || std::getenv(kOrdinaryRun) != nullptr) {
        return true;
    }
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string command = kOrdinaryRun;  // built in steps: GCC 12 misreads "x" + string&&
    command += "=1 setpriv --inh-caps=-all --bounding-set=-all ";
    command += NativeFileSystem().ExecutablePath();
    command += " --gtest_filter=";
    command += test->test_suite_name();
    command += ".";
    command += test->name();
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return false;
}

}  // namespace tav::test

#endif
