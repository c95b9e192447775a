/*
 * The whole wizard walked with the keyboard alone, with real X key events
 * (xdotool, through scripts/x-keys.sh): Tab follows the template order,
 * Enter presses the default button, Escape asks the cancel question, and
 * the mnemonics move the focus or press their buttons.  Runs only in the
 * e2e_keys_* tests, which start the typist.
 */
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
        bool typed = TypeKeys(keys);
        EXPECT_TRUE(typed) << "could not type " << keys;
        return typed && WaitUntil(10000, done);
    }
    /* Types the keys, then waits for the window marked `mark`. */
    bool KeysTo(const std::string &keys, int mark, HWND *window)
    {
        return Keys(keys, [&] { return (*window = WaitFor(mark, 100)) != NULL; });
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
    /* Escape or Cancel's mnemonic (`ask`) asks the cancel question; the
     * question's own mnemonic or key `answer` (not Yes) keeps the page. */
    void AskThenKeep(HWND page, const char *ask, const char *answer)
    {
        HWND question = NULL;
        ASSERT_TRUE(KeysTo(ask, kQuestionMark, &question)) << ask << " asked nothing";
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
    AskThenKeep(welcome, "Escape", "alt+n");
    HWND page = NULL;
    ASSERT_TRUE(KeysTo("Return", kModelMark, &page)) << "Enter did not go to the model page";

    /* Model page: the list focused; Tab order list, Next, Cancel, Back. */
    EXPECT_EQ(IDC_MODEL_LIST, FocusedControlId(page));
    ExpectTabOrder(page, {IDC_NEXT, IDCANCEL, IDC_BACK, IDC_MODEL_LIST});
    ASSERT_TRUE(Keys("Down", [&] { return Selection(page, kModelMark) == 1; }));
    /* Back by its mnemonic, and forward again: a fresh page, first model
     * selected again. */
    ASSERT_TRUE(KeysTo("alt+b", kWelcomeMark, &welcome)) << "Alt+B did not go back";
    ASSERT_TRUE(KeysTo("Return", kModelMark, &page));
    EXPECT_EQ(0, Selection(page, kModelMark));
    ASSERT_TRUE(Keys("Down", [&] { return Selection(page, kModelMark) == 1; }));
    /* The label's mnemonic moves the focus to the next tab stop after the
     * label in template order: the Back button on this page. */
    EXPECT_TRUE(Keys("alt+m", [&] { return FocusedControlId(page) == IDC_BACK; }))
        << "Alt+M gave the focus to " << FocusedControlId(page);
    ExpectTabOrder(page, {IDC_MODEL_LIST});
    AskThenKeep(page, "Escape", "Escape");
    HWND modelPage = page;
    ASSERT_TRUE(KeysTo("Return", kPortMark, &page)) << "Enter did not go to the port page";
    EXPECT_FALSE(IsWindow(modelPage) && IsWindowVisible(modelPage));

    /* Port page: the list focused; Tab order list, Next, Back, Cancel. */
    EXPECT_EQ(IDC_PORT_LIST, FocusedControlId(page));
    ExpectTabOrder(page, {IDC_NEXT, IDC_BACK, IDCANCEL, IDC_PORT_LIST, IDC_NEXT});
    EXPECT_TRUE(Keys("alt+p", [&] { return FocusedControlId(page) == IDC_PORT_LIST; }))
        << "Alt+P gave the focus to " << FocusedControlId(page);
    std::vector<std::string> ports = ListItems(page, kPortMark);
    int lpt1 = (int)(std::find(ports.begin(), ports.end(), "LPT1:") - ports.begin());
    ASSERT_LT(lpt1, (int)ports.size());
    ASSERT_TRUE(Keys("End", [&] { return Selection(page, kPortMark) == (int)ports.size() - 1; }));
    for (int i = (int)ports.size() - 1; i > lpt1; --i)
        ASSERT_TRUE(Keys("Up", [&] { return Selection(page, kPortMark) == i - 1; }));
    /* Cancel by its mnemonic asks too; Escape answers the question No. */
    AskThenKeep(page, "alt+c", "Escape");
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
    ExpectExit();
    EXPECT_EQ(model + "," + model + ",LPT1:", DefaultPrinterEntry());
}
