/*
 * The build profiles of the four deliverables.  The Korean profiles are
 * compiled to code page 949; the expected texts here are UTF-8 and are
 * converted with iconv, independently of the compiler's conversion.
 */
#include <gtest/gtest.h>

#include <iconv.h>

#include <string>

#include "profile/build_profile.h"
#include "profile/common_texts.h"

namespace
{

std::string Cp949(const std::string &utf8)
{
    iconv_t cd = iconv_open("CP949", "UTF-8");
    if (cd == (iconv_t)-1)
        return "<no iconv>";
    std::string out(utf8.size() * 2 + 4, '\0');
    char *in = const_cast<char *>(utf8.data());
    size_t inLeft = utf8.size(), outLeft = out.size();
    char *o = &out[0];
    size_t rc = iconv(cd, &in, &inLeft, &o, &outLeft);
    iconv_close(cd);
    if (rc == (size_t)-1)
        return "<unconvertible>";
    out.resize(out.size() - outLeft);
    return out;
}

struct Expected
{
    const BuildProfile *profile;
    bool korean;
    const char *model;
    bool win7;
};

const Expected kBuilds[] = {{&g_profile_M470_ko_win7, true, "M470", true},
                            {&g_profile_M270_ko_vista, true, "M270", false},
                            {&g_profile_M270_en_win7, false, "M270", true},
                            {&g_profile_M270_en_vista, false, "M270", false}};

const char kWin7X86[] = "\tWindows 7 Home x86\r\n\tWindows 7 Professional x86\r\n"
                        "\tWindows 7 Ultimate x86\r\n";
const char kVistaX86[] = "\tWindows Vista Home Basic x86\r\n\tWindows Vista Home Premium x86\r\n"
                         "\tWindows Vista Enterprise x86\r\n\tWindows Vista Business x86\r\n"
                         "\tWindows Vista Ultimate x86\r\n\tWindows Vista Starter x86\r\n";
const char kVistaX64[] = "\tWindows Vista Business x64\r\n\tWindows Vista Home Premium x64\r\n"
                         "\tWindows Vista Home Basic x64\r\n\tWindows Vista Ultimate x64\r\n"
                         "\tWindows Vista Enterprise x64\r\n";
const char kXp[] = "\tWindows XP Home (x86)\r\n\tWindows XP Professional (x86)\r\n"
                   "\tWindows .NET Server (x86)\r\n";

std::string Text(bool korean, const char *editions, bool oldHeading = false)
{
    if (korean)
        return Cp949(std::string("사용 가능한 운영체제:\r\n") + editions +
                     "\r\n드라이버를 설치하기 전에 사용중인 응용 프로그램을 모두 종료하십시오.");
    return std::string(oldHeading ? "Supported operating System:\r\n"
                                  : "Supported operating system:\r\n") +
           editions + "\r\nTerminate all running applications before installing driver.";
}

} // namespace

// The fields that name files, classes and sections must be exact per build:
// a wrong class name or file name breaks the window search or the install.
TEST(BuildProfile, NamesPerBuild)
{
    for (const Expected &b : kBuilds)
    {
        const BuildProfile &p = *b.profile;
        std::string m = b.model;
        SCOPED_TRACE(m + (b.korean ? " ko" : " en"));
        EXPECT_EQ(p.windowClassName, "QXV_" + m + "_Driver_Setup");
        EXPECT_EQ(p.infFileName, m + ".INF");
        EXPECT_EQ(p.dataFileName, m + ".GPD");
        EXPECT_EQ(p.driverDateFile, m + ".DLL");
        EXPECT_STREQ(p.manufacturerSection, "TarvikSystems");
    }
}

// The language texts must be exact and, in the Korean builds, code page 949
// bytes (an UTF-8 byte sequence here would show as garbage on Windows).
TEST(BuildProfile, LanguageTextsExact)
{
    for (const Expected &b : kBuilds)
    {
        const BuildProfile &p = *b.profile;
        SCOPED_TRACE(b.model);
        if (b.korean)
        {
            EXPECT_STREQ(p.makerName, "Tarvik\xBD\xC3\xBD\xBA\xC5\xDB");
            EXPECT_EQ(p.windowTitle, Cp949("프린터 드라이버 설치"));
            EXPECT_EQ(p.inUseCaption, Cp949("설치 오류"));
            EXPECT_EQ(p.inUseMessage,
                      Cp949("설치하려는 프린터 드라이버가 이미 설치되어 있으며 현재 다른 응용 "
                            "프로그램에 의해 사용중이므로 업그레이드가 불가능합니다.\n사용중인 "
                            "응용 프로그램을 모두 종료하신 후 다시 설치해 보십시오."));
        }
        else
        {
            EXPECT_STREQ(p.makerName, "Tarvik Systems");
            EXPECT_STREQ(p.windowTitle, "Printer Driver Setup");
            EXPECT_STREQ(p.inUseCaption, "Setup error");
            EXPECT_STREQ(p.inUseMessage,
                         "Previous verion driver is currently used by an application.\n"
                         "Terminate all applications. And then delete previous version driver "
                         "from printer folderand retry.");
        }
        /* one line holding a year and the maker's legal name */
        std::string c = p.copyrightNotice;
        EXPECT_EQ(c.find_first_of("\r\n"), std::string::npos);
        EXPECT_NE(c.find("2026"), std::string::npos);
        EXPECT_NE(c.find(b.korean ? Cp949("Tarvik시스템 주식회사") : "Tarvik Systems Co., Ltd."),
                  std::string::npos);
    }
}

// The six supported-systems texts in their order, and the welcome pair
// being the build's own (Windows 7 or Vista, x86 first).
TEST(BuildProfile, SupportedSystemsTexts)
{
    for (const Expected &b : kBuilds)
    {
        const BuildProfile &p = *b.profile;
        SCOPED_TRACE(b.model);
        EXPECT_EQ(p.supportedSystemsTexts[SST_WIN7_X86], Text(b.korean, kWin7X86));
        EXPECT_EQ(p.supportedSystemsTexts[SST_VISTA_X86], Text(b.korean, kVistaX86));
        EXPECT_EQ(p.supportedSystemsTexts[SST_VISTA_X64], Text(b.korean, kVistaX64));
        EXPECT_EQ(p.supportedSystemsTexts[SST_WINXP], Text(b.korean, kXp, true));
        std::string w2k = p.supportedSystemsTexts[SST_WIN2000];
        EXPECT_NE(w2k.find("\tWindows 2000 Advanced Server (x86)\r\n\r\n"), std::string::npos);
        if (!b.korean)
        {
            EXPECT_EQ(w2k.rfind("Supported operating System:\r\n", 0), 0u);
        }
        std::string x64 = p.supportedSystemsTexts[SST_WIN7_X64];
        EXPECT_NE(x64.find("\tWindows 7 Ultimate x64\r\n"), std::string::npos);

        int x86 = b.win7 ? SST_WIN7_X86 : SST_VISTA_X86;
        EXPECT_STREQ(p.welcomeTexts[0], p.supportedSystemsTexts[x86]);
        EXPECT_STREQ(p.welcomeTexts[1], p.supportedSystemsTexts[x86 + 1]);
    }
}

// Texts shared by all builds stay English, with the caption's trailing blank.
TEST(CommonTexts, ExactIncludingTrailingBlank)
{
    EXPECT_STREQ(kAddDriverErrorCaption, "Add a printer error ");
    EXPECT_STREQ(kAddDriverErrorFormat, "Cannot add a printer driver!\r\n(System Error Code : %d)");
    EXPECT_STREQ(kUnsupportedText, "This Driver is not supported on this Operating System.");
    EXPECT_STREQ(kUnsupportedCaption, "Install Error");
    EXPECT_STREQ(kEnvironmentX86, "Windows NT x86");
}
