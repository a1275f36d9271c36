#define KO_MODULE "src\\KoTest"
#include "engine/KoAssert.h"

#include "ChildProcess.h"

#include <gtest/gtest.h>

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
}
} // namespace

TEST(KoAssert, ReportsHaveTheirExactTextsAndExitCodes)
{
    int v = 0;
    struct Case
    {
        ChildResult r;
        int code;
        const char* text;
    };
    Case cases[] = {
        {RunInChild([&] { CheckedFunction(nullptr, 0); }), 1,
         "KO_ASSERT_PARM: p\nLine: N\nFunc: CheckedFunction\nFile: src\\KoTest\n"},
        {RunInChild([&] { CheckedFunction(&v, 1); }), 1,
         "KO_ASSERT: mode != 1\nLine: N\nFunc: CheckedFunction\nFile: src\\KoTest\n"},
        {RunInChild([&] { CheckedFunction(&v, 2); }), 1,
         "KO_ASSERT_MESG: mode != 2\nLine: N\nFunc: CheckedFunction\nFile: src\\KoTest\nMesg: two is not "
         "allowed\n"},
        {RunInChild(
             [&]
             {
                 CheckedFunction(&v, 3);
                 printf("went on\n");
             }),
         0,
         "KO_WARNING_MESG: mode != 3\nLine: N\nFunc: CheckedFunction\nFile: src\\KoTest\nMesg: three is "
         "odd\nwent on\n"},
        {RunInChild([&] { CheckedFunction(&v, 4); }), 1,
         "KO_ASSERT_MESG: mode != 4\nLine: N\nFunc: Space::Named\nFile: src\\KoTest\nMesg: named\n"},
        {RunInChild([&] { CheckedFunction(&v, 0); }), 0, ""},
        // Macros inside the expression print as written.
        {RunInChild([&] { CheckedFunction(&v, 6); }), 1,
         "KO_ASSERT: mode < KO_TEST_LIMIT + 2\nLine: N\nFunc: CheckedFunction\nFile: src\\KoTest\n"},
        {RunInChild([&] { CheckedFunction(&v, 5); }), 1,
         "KO_ASSERT_MESG: mode < KO_TEST_LIMIT + 1\nLine: N\nFunc: Space::Limit\nFile: src\\KoTest\nMesg: "
         "too big\n"},
        {RunInChild(
             [] {
                 KoAssertFail("KO_ASSERT", "pInst", 274, "CommonLevel::CreateInst", "src\\CommonLevel",
                              nullptr);
             }),
         1, "KO_ASSERT: pInst\nLine: N\nFunc: CommonLevel::CreateInst\nFile: src\\CommonLevel\n"},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(c.r.exitCode, c.code) << c.text;
        EXPECT_EQ(WithoutLineNumbers(c.r.out), c.text);
    }
    // The line is the check's own source line.
    EXPECT_EQ(RunInChild([] { KoAssertFail("KO_ASSERT", "0", 274, "f", "m", nullptr); }).out,
              "KO_ASSERT: 0\nLine: 274\nFunc: f\nFile: m\n");
}
