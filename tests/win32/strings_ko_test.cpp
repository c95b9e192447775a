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

namespace
{

struct StringRow
{
    UINT id;
    const char *korean;  /* UTF-8 */
    const char *english; /* ASCII */
};

const StringRow kStrings[] = {
    {IDS_INSTALL_DONE, "설치가 완료되었습니다.", "The Installation has done successfully."},
    {IDS_INSTALL_FAILED, "설치를 중지합니다.", "The Installation has failed."},
    {IDS_ERR_BAD_SOURCE, "원본 파일을 읽을 수 없습니다.", "Cannot read the source file"},
    {IDS_ERR_BAD_DEST, "사본 파일을 작성할 수 없습니다.", "Cannot create the destination file."},
    {IDS_ERR_UNKNOWN, "알 수 없는 오류가 발생했습니다.", "Unknown error accured."},
    {IDS_ERR_DECOMPRESS, "파일 압축 해제 오류.", "Decompression error."},
    {IDS_ERR_MEMORY, "시스템 메모리가 부족합니다.", "Memory exhausted."},
    {IDS_ERR_DAMAGED, "파일이 손상되었습니다.", "File has damaged."},
    {IDS_ERR_DISK_FULL, "설치할 디스크 공간이 부족합니다.", "Insufficient disk space."},
    {IDS_ERR_FILE_OPEN, "파일이 없습니다.", "File open error."},
    {IDS_STATUS_READING, "설치 정보를 읽고 있습니다...", "Reading setup information..."},
    {IDS_STATUS_WRITING, "시스템 정보를 수정하고 있습니다...", "Writing system information..."},
    {IDS_TITLE_ERROR, "오류", "Error"},
    {IDS_TITLE_QUESTION, "질문", "Question"},
    {IDS_TITLE_WARNING, "경고", "Warinig"},
    {IDS_CONFIRM_CANCEL, "프린터 드라이버 설치를 종료하시겠습니까?",
     "Are you sure you want to cancel QXV driver installation?"},
    {IDS_SELECT_MODEL, "먼저 설치할 프린터 모델을 선택하십시오.",
     "Select printer model to install."},
    {IDS_SELECT_PORT, "먼저 포트를 선택하십시오.", "Select printer port to connect."},
    {IDS_NO_SETUP_INFO, "설치 정보 파일을 찾을 수 없습니다. 설치를 계속할 수 없습니다. ",
     "There is no setup information. Cannot continue."},
    {IDS_ALREADY_INSTALLED,
     "선택된 드라이버가 이미 설치되어 있습니다. 설치 프로그램을 종료한 후 프린터 폴더에서 "
     "이전 버전의 드라이버를 삭제한 후 다시 설치하십시오.",
     "Selected printer driver has installed already. Exit setup and delete old printer driver "
     "and continue."},
};

std::wstring FromUtf8(const char *text)
{
    wchar_t buf[2048];
    int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, buf, 2048);
    return n > 0 ? std::wstring(buf, n - 1) : std::wstring();
}

std::string ToAnsi(const std::wstring &text)
{
    char buf[2048];
    int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, buf, sizeof(buf), NULL, NULL);
    return n > 0 ? std::string(buf, n - 1) : std::string();
}

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
            std::wstring expected = program.korean ? FromUtf8(row.korean) : FromUtf8(row.english);
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
                EXPECT_EQ(std::string(ansi, an), row.english);
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
