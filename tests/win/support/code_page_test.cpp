// Built into the test programs that ctest runs a second time under another
// locale: each run first proves it has the ANSI code page it was started
// for, so that the second run cannot quietly repeat the first.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <windows.h>

TEST(CodePageTest, IsTheOneThisRunWasStartedFor)
{
    // The suite runs under a Russian locale unless ctest names another page.
    const char* wanted = getenv("ZRONDEL_TEST_CODE_PAGE");
    EXPECT_EQ(GetACP(), wanted ? static_cast<UINT>(strtoul(wanted, nullptr, 10)) : 1251u);
}
