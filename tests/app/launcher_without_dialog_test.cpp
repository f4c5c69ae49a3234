// The launcher in a program that lacks its dialog template, so that the dialog cannot open.
#include "app/launcher_app.h"

#include <ole2.h>

#include <gtest/gtest.h>

#include <string>

#include "shared/portal_address.h"
#include "support/launcher_process.h"

TEST(LauncherWithoutDialog, TearsDownNothingAndOpensTheStatisticsPage)
{
    clearBrowserLog();
    // OLE is this test's own: a launcher that tore down what its dialog never set up would
    // end it.
    ASSERT_EQ(OleInitialize(nullptr), S_OK);

    LauncherApp().run(GetModuleHandleA(nullptr), SW_SHOWNORMAL);

    EXPECT_EQ(OleInitialize(nullptr), S_FALSE) << "the launcher uninitialised OLE it had not initialised";
    OleUninitialize();
    OleUninitialize();
    EXPECT_EQ(waitForBrowserLog(), std::string(kStatsPageAddress) + "\n") << runningInWorld("winebrowser.exe");
}
