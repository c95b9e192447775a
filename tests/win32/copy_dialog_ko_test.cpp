/*
 * The copy dialog's error messages from a Korean build's resources, under
 * code page 949: every code's exact text and the title, as the user sees
 * them.
 */
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "support/built_programs.h"
#include "support/ui_driver.h"
#include "app/setup_state.h"
#include "copy/copy_dialog.h"
#include "profile/resource.h"

using namespace uitest;

namespace
{

/* Guards against a code showing another code's Korean text, or the title
 * not being 4032. */
TEST(CopyDialogKorean, ErrorTextsAndTitle)
{
    ASSERT_EQ(949u, GetACP()) << "run with LANG=ko_KR.UTF-8";
    HMODULE module = LoadBuiltProgram("M470Setup_ko_win7.exe");
    ASSERT_NE(module, nullptr);
    g_state.instance = module;
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 100, 100, 500, 300, NULL, NULL,
                                 GetModuleHandleA(NULL), NULL);
    const std::pair<LONG, const char *> cases[] = {
        {1, "파일이 없습니다."},
        {-1, "원본 파일을 읽을 수 없습니다."},
        {-2, "사본 파일을 작성할 수 없습니다."},
        {-3, "파일이 손상되었습니다."},
        {-4, "설치할 디스크 공간이 부족합니다."},
        {-5, "시스템 메모리가 부족합니다."},
        {-6, "파일 압축 해제 오류."},
        {-7, "알 수 없는 오류가 발생했습니다."},
        {-8, "파일이 손상되었습니다."},
        {-9, "알 수 없는 오류가 발생했습니다."},
    };
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.first);
        std::string title, text;
        auto look = [&](HWND d)
        {
            title = WindowText(d);
            text = ItemText(d, IDC_MESSAGE_TEXT);
        };
        DriveModal(
            [&]() -> INT_PTR
            {
                ReportCopyError(owner, c.first);
                return 0;
            },
            {{IDC_MESSAGE_TEXT, look, ACT_CLICK, IDOK}});
        EXPECT_EQ(ToAnsi(FromUtf8("오류")), title);
        EXPECT_EQ(ToAnsi(FromUtf8(c.second)), text);
    }
    /* The Korean copy dialog template: an empty list ends it with 1. */
    ZeroMemory(g_state.dependentFiles, sizeof(g_state.dependentFiles));
    g_state.fileCount = 0;
    EXPECT_EQ(1, RunCopyDialog(owner));
    DestroyWindow(owner);
    FreeLibrary(module);
}

} // namespace
