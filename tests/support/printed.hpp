#pragma once

// What a piece of work prints on standard output, caught so a test can check it (or keep the
// test's own output quiet).

#include <gtest/gtest.h>

#include <string>

template <typename Work> std::string Printed(Work&& work) {
    testing::internal::CaptureStdout();
    work();
    return testing::internal::GetCapturedStdout();
}
