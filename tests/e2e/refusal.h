/*
 * The start-up refusal as the e2e tests see it: the system message box
 * "Install Error" with its exact English text and the stop icon, no owner,
 * no main window of the program's class, and exit code 0 after OK.
 */
#ifndef SETUP_E2E_REFUSAL_H
#define SETUP_E2E_REFUSAL_H

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "driver.h"

namespace e2e
{

inline void ExpectRefusedWithExitZero(Process &p, const std::string &className, DWORD timeoutMs)
{
    HWND box = WaitForCaption(p.Id(), "Install Error", timeoutMs);
    ASSERT_NE(box, nullptr) << "no refusal box";
    std::vector<std::string> texts = StaticTexts(box);
    EXPECT_NE(std::find(texts.begin(), texts.end(),
                        "This Driver is not supported on this Operating System."),
              texts.end());
    EXPECT_TRUE(StaticShowsSystemIcon(FindIconChild(box), 32513 /* IDI_HAND */));
    EXPECT_FALSE(StaticShowsSystemIcon(FindIconChild(box), 32514 /* IDI_QUESTION */));
    EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
    std::wstring cls = Wide(className);
    for (HWND h : TopLevelWindows(p.Id(), false))
        EXPECT_NE(ClassOf(h), cls) << "a main window was created";
    ASSERT_TRUE(Click(box, IDOK));
    DWORD code = 1234;
    ASSERT_TRUE(p.WaitExit(10000, &code));
    EXPECT_EQ(code, 0u);
}

} // namespace e2e

#endif
