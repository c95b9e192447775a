/*
 * The string tables of the four built programs, read back through the
 * platform's loaders: LoadStringW must give the exact UTF-16 texts and
 * LoadStringA the exact bytes of the running code page (949 here, so the
 * Korean texts arrive as the program will use them).
 */
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "profile/resource.h"
#include "support/built_programs.h"
#include "tests/support/page_texts.h"

namespace
{

struct StringRow
{
    UINT id;
    pagetext::Text text; /* English ASCII, Korean UTF-8 */
};

const StringRow kStrings[] = {
    {IDS_INSTALL_DONE, pagetext::kInstallDone},
    {IDS_INSTALL_FAILED, pagetext::kInstallFailed},
    {IDS_ERR_BAD_SOURCE, {"Cannot read the source file", "원본 파일을 읽을 수 없습니다."}},
    {IDS_ERR_BAD_DEST, {"Cannot create the destination file.", "사본 파일을 작성할 수 없습니다."}},
    {IDS_ERR_UNKNOWN, {"Unknown error accured.", "알 수 없는 오류가 발생했습니다."}},
    {IDS_ERR_DECOMPRESS, {"Decompression error.", "파일 압축 해제 오류."}},
    {IDS_ERR_MEMORY, {"Memory exhausted.", "시스템 메모리가 부족합니다."}},
    {IDS_ERR_DAMAGED, {"File has damaged.", "파일이 손상되었습니다."}},
    {IDS_ERR_DISK_FULL, {"Insufficient disk space.", "설치할 디스크 공간이 부족합니다."}},
    {IDS_ERR_FILE_OPEN, {"File open error.", "파일이 없습니다."}},
    {IDS_STATUS_READING, pagetext::kStatusReading},
    {IDS_STATUS_WRITING, pagetext::kStatusWriting},
    {IDS_TITLE_ERROR, {"Error", "오류"}},
    {IDS_TITLE_QUESTION, pagetext::kQuestionTitle},
    {IDS_TITLE_WARNING, pagetext::kWarningTitle},
    {IDS_CONFIRM_CANCEL, pagetext::kConfirmCancel},
    {IDS_SELECT_MODEL, pagetext::kSelectModel},
    {IDS_SELECT_PORT, pagetext::kSelectPort},
    {IDS_NO_SETUP_INFO,
     {"There is no setup information. Cannot continue.",
      "설치 정보 파일을 찾을 수 없습니다. 설치를 계속할 수 없습니다. "}},
    {IDS_ALREADY_INSTALLED,
     {"Selected printer driver has installed already. Exit setup and delete old printer driver "
      "and continue.",
      "선택된 드라이버가 이미 설치되어 있습니다. 설치 프로그램을 종료한 후 프린터 폴더에서 "
      "이전 버전의 드라이버를 삭제한 후 다시 설치하십시오."}},
};

} // namespace

// The Korean texts must reach the program as code page 949 bytes.
TEST(StringTables, RunsUnderKoreanCodePage)
{
    ASSERT_EQ(GetACP(), 949u) << "run with LANG=ko_KR.UTF-8";
    /* anchor independent of the converters: "오류" in code page 949 */
    EXPECT_EQ(ToAnsi(FromUtf8("오류")), "\xBF\xC0\xB7\xF9");
}

// Every text of both tables must be exact, typos and trailing blanks
// included, through both the UTF-16 and the ANSI loader; an id missing from
// a build or a text cut short fails here.
TEST(StringTables, EveryTextExactInEveryBuild)
{
    for (const BuiltProgram &program : kBuiltPrograms)
    {
        SCOPED_TRACE(program.file);
        HMODULE module = LoadBuiltProgram(program.file);
        ASSERT_NE(module, nullptr) << "cannot load " << program.file << " as data";
        for (const StringRow &row : kStrings)
        {
            SCOPED_TRACE(row.id);
            std::wstring expected = FromUtf8(program.korean ? row.text.korean : row.text.english);
            wchar_t wide[1024];
            SetLastError(0xdeadbeef);
            int wn = LoadStringW(module, row.id, wide, 1024);
            ASSERT_GT(wn, 0) << "last error " << GetLastError();
            EXPECT_EQ(std::wstring(wide, wn), expected);

            char ansi[1024];
            int an = LoadStringA(module, row.id, ansi, sizeof(ansi));
            ASSERT_GT(an, 0);
            EXPECT_EQ(std::string(ansi, an), ToAnsi(expected));
            if (!program.korean)
            {
                EXPECT_EQ(std::string(ansi, an), row.text.english);
            }
        }
        FreeLibrary(module);
    }
}

// A build must hold the twenty texts and no others.
TEST(StringTables, NoOtherStringsInTheTable)
{
    for (const BuiltProgram &program : kBuiltPrograms)
    {
        SCOPED_TRACE(program.file);
        HMODULE module = LoadBuiltProgram(program.file);
        ASSERT_NE(module, nullptr);
        int found = 0;
        for (UINT id = 0; id < 0x10000; id += 16)
        {
            if (!FindResourceA(module, MAKEINTRESOURCEA(id / 16 + 1), (LPCSTR)RT_STRING))
                continue;
            for (UINT k = 0; k < 16; k++)
            {
                wchar_t buf[8];
                if (LoadStringW(module, id + k, buf, 8) > 0)
                    found++;
            }
        }
        EXPECT_EQ(found, (int)(sizeof(kStrings) / sizeof(kStrings[0])));
        FreeLibrary(module);
    }
}
