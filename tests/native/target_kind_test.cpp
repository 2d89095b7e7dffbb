#include "base/target_kind.h"

#include <gtest/gtest.h>

namespace {

struct KindCase {
    const char* target;
    TargetKind kind;
};

const KindCase kKinds[] = {
    {"https://example.org/a?b=c", TARGET_LINK},
    {"mailto:someone@example.org", TARGET_LINK},
    {"ms-settings:display", TARGET_LINK},
    {"view-source+x.1:y", TARGET_LINK},
    {"file:///C:/Tools/app.exe", TARGET_LINK},
    {"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", TARGET_SHELL_ITEM},
    {"::{21EC2020-3AEA-1069-A2DD-08002B30309D}\\::{7007ACC7-3202-11D1-AAD2-00805FC1270E}", TARGET_SHELL_ITEM},
    {"shell:AppsFolder\\Microsoft.WindowsCalculator_8wekyb3d8bbwe!App", TARGET_SHELL_ITEM},
    {"Shell:Downloads", TARGET_SHELL_ITEM},
    {"C:\\Tools\\app.exe", TARGET_FILE},
    {"c:\\", TARGET_FILE},
    {"C:app.exe", TARGET_FILE},
    {"\\\\server\\share\\app.exe", TARGET_FILE},
    {"\\\\?\\C:\\Tools\\app.exe", TARGET_FILE},
    // Texts that only look like one of the above.
    {"https//example.org", TARGET_FILE},
    {"1http://example.org", TARGET_FILE},
    {"-x:y", TARGET_FILE},
    {"a b:c", TARGET_FILE},
    {"http", TARGET_FILE},
    {":{20D04FE0-3AEA-1069-A2D8-08002B30309D}", TARGET_FILE},
    {":: {20D04FE0-3AEA-1069-A2D8-08002B30309D}", TARGET_FILE},
    {"shel:AppsFolder", TARGET_LINK},
    {"shell", TARGET_FILE},
    {"C:\\shell:x", TARGET_FILE},
    {"app.exe", TARGET_FILE},
    {"", TARGET_FILE},
};

TEST(KindOfTarget, TellsLinksAndShellPlacesFromPaths)
{
    for (const KindCase& c : kKinds)
        EXPECT_EQ(KindOfTarget(c.target), c.kind) << c.target;
}

} // namespace
