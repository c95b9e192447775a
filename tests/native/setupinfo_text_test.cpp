/*
 * Unit tests of the setup information reader's text handling: key lists,
 * quote stripping, comma tokens, paths and the dependent-file list.  Every
 * output goes into a heap block of exactly the size passed, so AddressSanitizer
 * catches any write past it.
 */
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "setupinfo/inf_text.h"

namespace
{

/* A key list as the private-profile reader returns it. */
std::vector<char> KeyList(const std::vector<std::string> &names)
{
    std::vector<char> list;
    for (const std::string &n : names)
    {
        list.insert(list.end(), n.begin(), n.end());
        list.push_back('\0');
    }
    list.push_back('\0');
    return list;
}

/* The names of a dependent-file list, checking that it is closed inside
 * its buffer. */
std::vector<std::string> ListNames(const std::vector<char> &list)
{
    std::vector<std::string> names;
    size_t pos = 0;
    for (;;)
    {
        EXPECT_LT(pos, list.size()) << "list not closed inside its buffer";
        if (pos >= list.size() || list[pos] == '\0')
            return names;
        std::string name(&list[pos]);
        EXPECT_LE(pos + name.size() + 1, list.size());
        names.push_back(name);
        pos += name.size() + 1;
    }
}

} // namespace

/* Guards against miscounting names or reading past a list without its
 * closing NUL. */
TEST(KeyListTest, CountsAndFindsNamesInsideTheBuffer)
{
    std::vector<char> list = KeyList({"\"Alpha\"", "\"Beta Two\"", "G"});
    EXPECT_EQ(3u, CountKeyNames(list.data(), list.size()));
    EXPECT_STREQ("\"Beta Two\"", NthKeyName(list.data(), list.size(), 1));
    EXPECT_STREQ("G", NthKeyName(list.data(), list.size(), 2));
    EXPECT_EQ(nullptr, NthKeyName(list.data(), list.size(), 3));
    EXPECT_EQ(nullptr, NthKeyName(list.data(), list.size(), 60000));

    std::vector<char> empty(1, '\0');
    EXPECT_EQ(0u, CountKeyNames(empty.data(), empty.size()));
    EXPECT_EQ(nullptr, NthKeyName(empty.data(), empty.size(), 0));

    /* No NUL at all: the half name at the end is neither counted nor given. */
    std::vector<char> open = {'a', '\0', 'b', 'c'};
    EXPECT_EQ(1u, CountKeyNames(open.data(), open.size()));
    EXPECT_EQ(nullptr, NthKeyName(open.data(), open.size(), 1));
}

/* Guards against reading before a one-character key and writing past the
 * output for an overlong key. */
TEST(StripQuotesTest, DropsFirstAndLastCharacterAndCutsToFit)
{
    struct Case
    {
        std::string name;
        size_t outSize;
        std::string expected;
    } cases[] = {{"\"Alpha\"", 1024, "Alpha"},
                 {"\"Beta Two\"", 1024, "Beta Two"},
                 {"Gamma", 1024, "amm"}, /* unquoted keys lose their letters all the same */
                 {"X", 1024, ""},
                 {"\"\"", 1024, ""},
                 {"", 1024, ""},
                 {"\"" + std::string(2000, 'm') + "\"", 1024, std::string(1023, 'm')},
                 {"\"abcdef\"", 4, "abc"},
                 {"\"abc\"", 1, ""}};
    for (const Case &c : cases)
    {
        std::vector<char> out(c.outSize, '#');
        StripEnclosingQuotes(c.name.c_str(), out.data(), out.size());
        EXPECT_EQ(c.expected, std::string(out.data())) << c.name;
    }
}

/* Guards against a model name that would reach another machine's printer
 * ("\\host\p"), break the default-printer entry (","), or exceed what the
 * spooler takes. */
TEST(ModelNameTest, OnlyNamesALocalPrinterCanBear)
{
    struct Case
    {
        const char *name;
        size_t characters;
        int usable;
    } const cases[] = {{"Tarvik M270", 11, 1},
                       {"\\\\host\\p", 8, 0},
                       {"a\\b", 3, 0},
                       {"M270, Net", 9, 0},
                       {"", 0, 0},
                       {"x", MODEL_NAME_MAX_CHARS, 1},
                       {"x", MODEL_NAME_MAX_CHARS + 1, 0},
                       {"\xC7\xC1\xB8\xB0", 2, 1}};
    for (const Case &c : cases)
        EXPECT_EQ(c.usable, IsUsableModelName(c.name, c.characters)) << c.name;
}

/* Guards against a quoted key cut into another key's name, or written past
 * the scratch buffer. */
TEST(QuotedKeyTest, RefusesAKeyThatWouldNotFit)
{
    std::vector<char> out(1024, '#');
    EXPECT_EQ(1, BuildQuotedKey("Tarvik M270", out.data(), out.size()));
    EXPECT_STREQ("\"Tarvik M270\"", out.data());
    EXPECT_EQ(1, BuildQuotedKey(std::string(1021, 'k').c_str(), out.data(), out.size()));
    EXPECT_EQ(1023u, strlen(out.data()));
    EXPECT_EQ(0, BuildQuotedKey(std::string(1022, 'k').c_str(), out.data(), out.size()));
    EXPECT_STREQ("", out.data());
}

/* Guards against a wrong install section or hardware identifier from
 * commas, blanks or a value of one token. */
TEST(CommaTokenTest, SplitsLikeStrtok)
{
    struct Case
    {
        const char *value;
        unsigned index;
        const char *expected; /* null: no token */
    } cases[] = {{"M270.Install,TARVIK_M270", 0, "M270.Install"},
                 {"M270.Install,TARVIK_M270", 1, "TARVIK_M270"},
                 {"M270.Install,TARVIK_M270,extra", 1, "TARVIK_M270"},
                 {"M270L.Install", 0, "M270L.Install"},
                 {"M270L.Install", 1, nullptr},
                 {"M270L.Install,", 1, nullptr},
                 {",,Inst,,,HW", 0, "Inst"},
                 {",,Inst,,,HW", 1, "HW"},
                 {" Inst , HW ", 0, " Inst "},
                 {" Inst , HW ", 1, " HW "},
                 {"", 0, nullptr},
                 {",,,", 0, nullptr}};
    for (const Case &c : cases)
    {
        std::vector<char> text(c.value, c.value + strlen(c.value) + 1);
        const char *token = SplitCommaToken(text.data(), c.index);
        if (!c.expected)
            EXPECT_EQ(nullptr, token) << c.value << " #" << c.index;
        else
            EXPECT_STREQ(c.expected, token) << c.value << " #" << c.index;
    }
}

/* Guards against the driver directory's backslash written past its buffer
 * and a wrong module folder. */
TEST(PathTest, BackslashAndFolder)
{
    std::vector<char> dir(8, '\0');
    memcpy(dir.data(), "C:\\ab", 6);
    EXPECT_EQ(1, AppendBackslash(dir.data(), dir.size()));
    EXPECT_STREQ("C:\\ab\\", dir.data());
    memcpy(dir.data(), "C:\\abcd", 8);
    EXPECT_EQ(0, AppendBackslash(dir.data(), dir.size()));
    EXPECT_STREQ("C:\\abcd", dir.data());

    struct Case
    {
        const char *path, *folder;
    } cases[] = {{"C:\\setup\\M270Setup.exe", "C:\\setup\\"},
                 {"Z:\\a\\b\\c.exe", "Z:\\a\\b\\"},
                 {"C:\\", "C:\\"},
                 {"setup.exe", "setup.exe"},
                 {"", ".\\"}};
    for (const Case &c : cases)
    {
        std::vector<char> path(1024, '\0');
        strcpy(path.data(), c.path);
        CutToFolder(path.data(), path.size());
        EXPECT_STREQ(c.folder, path.data()) << c.path;
    }
}

/* Guards against lost or changed file names, a wrong count, and an empty
 * name that would end the spooler's list early. */
TEST(DependentFileListTest, BuildsNamesFromCopyFiles)
{
    struct Case
    {
        const char *copyFiles;
        std::vector<std::string> names;
    } cases[] = {{"@M270.GPD,M270.DLL", {"M270.GPD", "M270.DLL"}},
                 {"@M270.GPD,M270.DLL,M270RES.DLL,M270.INI",
                  {"M270.GPD", "M270.DLL", "M270RES.DLL", "M270.INI"}},
                 {"A.DLL , B.INI", {"A.DLL ", " B.INI"}}, /* blanks stay part of the names */
                 {"@@X", {"@X"}},                         /* only one at sign is dropped */
                 {"A@B", {"A@B"}},
                 {"ONE", {"ONE"}},
                 {"ONE,", {"ONE"}},
                 {",,ONE,,@,TWO", {"ONE", "TWO"}},
                 {"", {}},
                 {"@", {}}};
    for (const Case &c : cases)
    {
        std::vector<char> list(1024, '#');
        uint32_t count = BuildDependentFileList(c.copyFiles, list.data(), list.size());
        EXPECT_EQ(c.names.size(), count) << c.copyFiles;
        EXPECT_EQ(c.names, ListNames(list)) << c.copyFiles;
    }
}

/* Guards against the file list written past its 1024 bytes: a value of 1023
 * bytes needs 1025 for all its names and both closing NULs. */
TEST(DependentFileListTest, LeavesOutNamesThatWouldNotFit)
{
    std::string value;
    while (value.size() < 1020)
        value += "a,";
    value += "bcd"; /* 1023 bytes, 511 names: the last needs 1025 */
    ASSERT_EQ(1023u, value.size());
    std::vector<char> list(1024, '#');
    uint32_t count = BuildDependentFileList(value.c_str(), list.data(), list.size());
    std::vector<std::string> names = ListNames(list);
    EXPECT_EQ(510u, count);
    ASSERT_EQ(510u, names.size());
    EXPECT_EQ("a", names.back());

    std::string one(1023, 'n');
    count = BuildDependentFileList(one.c_str(), list.data(), list.size());
    EXPECT_EQ(0u, count);
    EXPECT_TRUE(ListNames(list).empty());
    count = BuildDependentFileList(one.c_str() + 1, list.data(), list.size());
    EXPECT_EQ(1u, count);
    EXPECT_EQ(std::vector<std::string>{std::string(1022, 'n')}, ListNames(list));
}

/* Guards against any out-of-bounds access on hostile text: random values
 * of commas, at signs, quotes and blanks through every function, with
 * buffers of odd sizes. */
TEST(HostileTextTest, RandomValuesStayInsideTheirBuffers)
{
    std::mt19937 random(20261208);
    const char alphabet[] = ",@\" aZ\\";
    for (int round = 0; round < 3000; ++round)
    {
        size_t length = random() % 1200;
        std::string value;
        for (size_t i = 0; i < length; ++i)
            value += alphabet[random() % (sizeof(alphabet) - 1)];
        size_t size = 1 + random() % 1100;

        std::vector<char> list(size);
        uint32_t count = BuildDependentFileList(value.c_str(), list.data(), list.size());
        EXPECT_EQ(count, ListNames(list).size());

        std::vector<char> out(size);
        StripEnclosingQuotes(value.c_str(), out.data(), out.size());
        BuildQuotedKey(value.c_str(), out.data(), out.size());
        std::vector<char> text(value.c_str(), value.c_str() + value.size() + 1);
        SplitCommaToken(text.data(), random() % 4);

        std::vector<char> raw(value.begin(), value.end());
        raw.resize(size, '\0');
        unsigned names = CountKeyNames(raw.data(), raw.size());
        const char *last = names ? NthKeyName(raw.data(), raw.size(), names - 1) : nullptr;
        EXPECT_EQ(names != 0, last != nullptr);
        EXPECT_EQ(nullptr, NthKeyName(raw.data(), raw.size(), names));
    }
}
