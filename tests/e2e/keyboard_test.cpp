/*
 * The whole wizard walked with the keyboard alone, with real X key events
 * (xdotool, through scripts/x-keys.sh): Tab follows the template order,
 * Enter presses the default button, Escape asks the cancel question, and
 * the mnemonics move the focus or press their buttons.  Runs only in the
 * e2e_keys_* tests, which start the typist.
 */
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "wizard_fixture.h"

using namespace e2e;

namespace
{

class Keyboard : public Wizard
{
  protected:
    void SetUp() override
    {
        Wizard::SetUp();
        if (Env("SETUP_KEY_CHANNEL").empty())
            GTEST_SKIP() << "no X key channel (run by the e2e_keys_* tests)";
    }

    /* Types the keys, then waits until `done` holds. */
    bool Keys(const std::string &keys, const std::function<bool()> &done)
    {
        if (!TypeKeys(keys))
        {
            ADD_FAILURE() << "could not type " << keys;
            return false;
        }
        for (DWORD start = GetTickCount(); GetTickCount() - start < 10000; Sleep(50))
            if (done())
                return true;
        return done();
    }
    /* Types Tab once per id and expects the focus on each in turn. */
    void ExpectTabOrder(HWND page, const std::vector<int> &ids)
    {
        for (int id : ids)
            EXPECT_TRUE(Keys("Tab", [&] { return FocusedControlId(page) == id; }))
                << "Tab did not reach control " << id << " (focus on " << FocusedControlId(page)
                << ")";
    }
    int Selection(HWND page, int listId)
    {
        DWORD_PTR index = (DWORD_PTR)-1;
        SendMessageTimeoutW(GetDlgItem(page, listId), LB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, 2000,
                            &index);
        return (int)index;
    }
    bool Up(HWND window)
    {
        return IsWindow(window) && IsWindowVisible(window) && IsWindowEnabled(window);
    }
    /* Escape asks the cancel question; the question's own mnemonic or key
     * `answer` (not Yes) leaves the page as it was. */
    void EscapeThenKeep(HWND page, const char *answer)
    {
        HWND question = NULL;
        ASSERT_TRUE(
            Keys("Escape", [&] { return (question = WaitFor(kQuestionMark, 100)) != NULL; }))
            << "Escape asked nothing";
        EXPECT_EQ(Text(pagetext::kQuestionTitle), TextUtf8(question));
        ASSERT_TRUE(Keys(answer, [&] { return !Up(question) && Up(page); }))
            << answer << " did not keep the page";
    }
};

} // namespace

TEST_F(Keyboard, WholeWizardByKeys)
{
    const std::string model = "Tarvik " + d.model + " Network";

    /* Welcome: Next focused; Tab order Next, Cancel. */
    HWND welcome = StartToWelcome();
    ASSERT_NE(welcome, nullptr) << "no welcome page";
    EXPECT_EQ(IDC_NEXT, FocusedControlId(welcome));
    ExpectTabOrder(welcome, {IDCANCEL, IDC_NEXT});
    EscapeThenKeep(welcome, "alt+n");
    HWND page = NULL;
    ASSERT_TRUE(Keys("Return", [&] { return (page = WaitFor(kModelMark, 100)) != NULL; }))
        << "Enter did not go to the model page";

    /* Model page: the list focused; Tab order list, Next, Cancel, Back. */
    EXPECT_EQ(IDC_MODEL_LIST, FocusedControlId(page));
    ExpectTabOrder(page, {IDC_NEXT, IDCANCEL, IDC_BACK, IDC_MODEL_LIST});
    ASSERT_TRUE(Keys("Down", [&] { return Selection(page, kModelMark) == 1; }));
    /* Back by its mnemonic, and forward again: a fresh page, first model
     * selected again. */
    ASSERT_TRUE(Keys("alt+b", [&] { return (welcome = WaitFor(kWelcomeMark, 100)) != NULL; }))
        << "Alt+B did not go back";
    ASSERT_TRUE(Keys("Return", [&] { return (page = WaitFor(kModelMark, 100)) != NULL; }));
    EXPECT_EQ(0, Selection(page, kModelMark));
    ASSERT_TRUE(Keys("Down", [&] { return Selection(page, kModelMark) == 1; }));
    /* The label's mnemonic moves the focus to the next tab stop after the
     * label in template order: the Back button on this page. */
    EXPECT_TRUE(Keys("alt+m", [&] { return FocusedControlId(page) == IDC_BACK; }))
        << "Alt+M gave the focus to " << FocusedControlId(page);
    ExpectTabOrder(page, {IDC_MODEL_LIST});
    EscapeThenKeep(page, "Escape");
    HWND modelPage = page;
    ASSERT_TRUE(Keys("Return", [&] { return (page = WaitFor(kPortMark, 100)) != NULL; }))
        << "Enter did not go to the port page";
    EXPECT_FALSE(IsWindow(modelPage) && IsWindowVisible(modelPage));

    /* Port page: the list focused; Tab order list, Next, Back, Cancel. */
    EXPECT_EQ(IDC_PORT_LIST, FocusedControlId(page));
    ExpectTabOrder(page, {IDC_NEXT, IDC_BACK, IDCANCEL, IDC_PORT_LIST});
    ExpectTabOrder(page, {IDC_NEXT});
    EXPECT_TRUE(Keys("alt+p", [&] { return FocusedControlId(page) == IDC_PORT_LIST; }))
        << "Alt+P gave the focus to " << FocusedControlId(page);
    std::vector<std::string> ports = ListItems(page, kPortMark);
    int lpt1 = (int)(std::find(ports.begin(), ports.end(), "LPT1:") - ports.begin());
    ASSERT_LT(lpt1, (int)ports.size());
    ASSERT_TRUE(Keys("End", [&] { return Selection(page, kPortMark) == (int)ports.size() - 1; }));
    for (int i = (int)ports.size() - 1; i > lpt1; --i)
        ASSERT_TRUE(Keys("Up", [&] { return Selection(page, kPortMark) == i - 1; }));
    /* Cancel by its mnemonic asks too; Escape answers the question No. */
    HWND question = NULL;
    ASSERT_TRUE(Keys("alt+c", [&] { return (question = WaitFor(kQuestionMark, 100)) != NULL; }))
        << "Alt+C asked nothing";
    ASSERT_TRUE(Keys("Escape", [&] { return !Up(question) && Up(page); }));
    ASSERT_TRUE(Keys("Return", [&] { return !Up(page); })) << "Enter did not go on";

    /* Final page: OK focused; Tab order OK, box; the box's mnemonic
     * toggles it; OK's mnemonic ends the wizard with the new default. */
    HWND final = WaitFor(kFinalMark, 30000);
    ASSERT_NE(final, nullptr) << "no final page";
    EXPECT_EQ(IDOK, FocusedControlId(final));
    ExpectTabOrder(final, {IDC_SET_DEFAULT, IDOK});
    auto ticked = [&]
    { return SendMessageW(GetDlgItem(final, IDC_SET_DEFAULT), BM_GETCHECK, 0, 0); };
    EXPECT_TRUE(Keys("alt+d", [&] { return ticked() == BST_UNCHECKED; })) << "Alt+D did not untick";
    EXPECT_TRUE(Keys("alt+d", [&] { return ticked() == BST_CHECKED; })) << "Alt+D did not tick";
    ASSERT_TRUE(Keys("alt+o", [&] { return !Up(final); })) << "Alt+O did not end the page";
    DWORD code = 0xdeadbeef;
    ASSERT_TRUE(p.WaitExit(10000, &code));
    EXPECT_EQ(0u, code);
    char device[1024] = "";
    GetProfileStringA("windows", "device", "", device, sizeof(device));
    EXPECT_EQ(model + "," + model + ",LPT1:", std::string(device));
}
