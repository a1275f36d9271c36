#include "engine/KoAssert.h"

#include "ChildProcess.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <tuple>

#define KO_TEST_LIMIT 4

namespace
{
void CheckedFunction(int* p, int mode)
{
    KO_ASSERT(mode < KO_TEST_LIMIT + 2);
    KO_ASSERT_MESG_FN(mode < KO_TEST_LIMIT + 1, "too big", "Space::Limit");
    KO_ASSERT_PARM(p);
    KO_ASSERT(mode != 1);
    KO_ASSERT_MESG(mode != 2, "two is not allowed");
    KO_WARNING_MESG(mode != 3, "three is odd");
    KO_ASSERT_MESG_FN(mode != 4, "named", "Space::Named");
    printf("went on\n");
}
} // namespace

TEST(KoAssert, ReportsHaveTheirExactTextsAndExitCodes)
{
    int v                  = 0;
    const std::string tail = "\nLine: N\nFunc: CheckedFunction\nFile: tests/unit/KoAssertTest.cpp\n";
    const std::tuple<int*, int, int, std::string> cases[] = {
        // the arguments, the exit code and the report
        {nullptr, 0, 1, "KO_ASSERT_PARM: p" + tail},
        {&v, 1, 1, "KO_ASSERT: mode != 1" + tail},
        {&v, 2, 1, "KO_ASSERT_MESG: mode != 2" + tail + "Mesg: two is not allowed\n"},
        {&v, 3, 0, "KO_WARNING_MESG: mode != 3" + tail + "Mesg: three is odd\nwent on\n"},
        {&v, 4, 1,
         "KO_ASSERT_MESG: mode != 4\nLine: N\nFunc: Space::Named\nFile: tests/unit/KoAssertTest.cpp\nMesg: "
         "named\n"},
        {&v, 0, 0, "went on\n"},
        {&v, 6, 1, "KO_ASSERT: mode < KO_TEST_LIMIT + 2" + tail}, // macros print as written
        {&v, 5, 1,
         "KO_ASSERT_MESG: mode < KO_TEST_LIMIT + 1\nLine: N\nFunc: Space::Limit\nFile: "
         "tests/unit/KoAssertTest.cpp\n"
         "Mesg: too big\n"},
    };
    for (const auto& c : cases)
    {
        ChildResult r = RunInChild([&] { CheckedFunction(std::get<0>(c), std::get<1>(c)); });
        EXPECT_EQ(r.exitCode, std::get<2>(c)) << std::get<3>(c);
        EXPECT_EQ(WithoutLineNumbers(r.out), std::get<3>(c));
    }
    // The line and the file are where the check stands in the source tree.
    const std::string line = std::to_string(__LINE__ + 1);
    EXPECT_EQ(RunInChild([] { KO_ASSERT(0 > 1); }).out,
              "KO_ASSERT: 0 > 1\nLine: " + line + "\nFunc: operator()\nFile: tests/unit/KoAssertTest.cpp\n");
}
