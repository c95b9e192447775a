/*
 * The setup information reader against real INF files on disk, read through
 * Wine's private-profile reader: model list, model data, hardware
 * identifier, missing pieces and hostile values.  Each case writes its own
 * file into a temp folder and points g_state.infPath at it (the path is
 * computed only when empty).
 */
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/setup_state.h"
#include "setupinfo/setup_info.h"
#include "spooler/spooler_api.h"
#include "support/temp_inf.h"

namespace
{

const char kMaker[] = "[TarvikSystems]\r\n";

class SetupInfoTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ZeroMemory(&g_state, sizeof(g_state));
        g_state.osIndex = 3;
        folder_ = tempinf::Folder("setupinfo_test");
        ASSERT_FALSE(folder_.empty());
    }

    /* Writes the INF text into a file of its own and makes it the one read. */
    void UseInf(const std::string &text)
    {
        ASSERT_TRUE(tempinf::Write(folder_ + "case" + std::to_string(++counter_) + ".INF", text));
    }

    void ChooseModel(const std::string &name)
    {
        lstrcpynA(g_state.modelName, name.c_str(), sizeof(g_state.modelName));
    }

    static std::vector<std::string> Files()
    {
        std::vector<std::string> names;
        for (const char *p = g_state.dependentFiles; *p; p += strlen(p) + 1)
            names.push_back(p);
        return names;
    }

    static std::string ModelName(WORD index)
    {
        char out[SETUP_TEXT_MAX];
        lstrcpyA(out, "(untouched)");
        GetModelName(index, out);
        return out;
    }

    std::string folder_;
    int counter_ = 0;
};

const char kSampleInf[] = "[Version]\r\n"
                          "Signature=\"$Windows NT$\"\r\n"
                          "\r\n"
                          "[TarvikSystems]\r\n"
                          "\"Alpha\"=Alpha.Install,TARVIK_ALPHA\r\n"
                          "\"Beta Two\" = Beta.Install\r\n"
                          "Gamma=Alpha.Install,GAMMA_ID\r\n"
                          "X=Alpha.Install\r\n"
                          "\r\n"
                          "[Alpha.Install]\r\n"
                          "CopyFiles=@M270.GPD, M270.DLL ,M270RES.DLL,@M270.INI\r\n"
                          "DataSection=EMF_DATA\r\n"
                          "\r\n"
                          "[Beta.Install]\r\n"
                          "CopyFiles=M270.GPD\r\n"
                          "DataSection=NO_SUCH_SECTION\r\n"
                          "\r\n"
                          "[EMF_DATA]\r\n"
                          "DefaultDataType=NT EMF 1.008\r\n";

/* A spooler whose driver directory fills whatever buffer it is given. */
BOOL WINAPI FillDriverDirectory(LPSTR, LPSTR, DWORD, LPBYTE buffer, DWORD size, LPDWORD needed)
{
    memset(buffer, 'D', size - 1);
    buffer[size - 1] = '\0';
    *needed = size;
    return TRUE;
}

BOOL WINAPI RefuseDriverDirectory(LPSTR, LPSTR, DWORD, LPBYTE, DWORD, LPDWORD needed)
{
    *needed = 0;
    SetLastError(ERROR_INVALID_ENVIRONMENT);
    return FALSE;
}

} // namespace

/* Guards against lost models, quotes left on names, and reading before a
 * one-character key. */
TEST_F(SetupInfoTest, ListsModelsWithoutTheirQuotes)
{
    UseInf(kSampleInf);
    EXPECT_EQ(4, CountModels());
    EXPECT_EQ("Alpha", ModelName(0));
    EXPECT_EQ("Beta Two", ModelName(1));
    EXPECT_EQ("amm", ModelName(2)); /* unquoted keys lose their letters all the same */
    EXPECT_EQ("", ModelName(3));
    EXPECT_EQ("(untouched)", ModelName(4));
    EXPECT_EQ("(untouched)", ModelName(65535));
}

/* Guards against wrong install data: the at sign kept, blanks trimmed,
 * wrong data type or driver directory. */
TEST_F(SetupInfoTest, ReadsTheChosenModelsData)
{
    UseInf(kSampleInf);
    ChooseModel("Alpha");
    EXPECT_EQ(1, ReadModelData());
    EXPECT_EQ(4u, g_state.fileCount);
    EXPECT_EQ((std::vector<std::string>{"M270.GPD", " M270.DLL ", "M270RES.DLL", "M270.INI"}),
              Files());
    EXPECT_STREQ("NT EMF 1.008", g_state.defaultDataType);
    /* Wine answers C:\windows\system32\spool\drivers\w32x86, without the
     * trailing backslash the copy dialog needs. */
    EXPECT_STRCASEEQ("C:\\windows\\system32\\spool\\drivers\\w32x86\\", g_state.driverDirectory);
}

/* Guards against the first model's names surviving into the second's list. */
TEST_F(SetupInfoTest, SecondModelRebuildsTheFileList)
{
    UseInf(kSampleInf);
    ChooseModel("Alpha");
    ReadModelData();
    ChooseModel("Beta Two");
    ReadModelData();
    EXPECT_EQ(1u, g_state.fileCount);
    EXPECT_EQ(std::vector<std::string>{"M270.GPD"}, Files());
    EXPECT_STREQ("RAW", g_state.defaultDataType);
}

/* Guards against a hardware identifier taken from the wrong token, or one
 * invented for a value of one token. */
TEST_F(SetupInfoTest, HardwareIdIsTheSecondToken)
{
    UseInf(std::string(kMaker) + "\"Alpha\"=Alpha.Install,TARVIK_ALPHA\r\n"
                                 "\"Beta Two\" = Beta.Install\r\n"
                                 "\"Commas\"=,,Inst,,,HW_AFTER_COMMAS\r\n");
    struct Case
    {
        const char *model;
        const char *id; /* null: none */
    } cases[] = {
        {"Alpha", "TARVIK_ALPHA"},  {"Beta Two", nullptr}, {"Commas", "HW_AFTER_COMMAS"},
        {"No Such Model", nullptr}, {"", nullptr},
    };
    for (const Case &c : cases)
    {
        const char *id = GetHardwareId(c.model);
        if (!c.id)
        {
            EXPECT_EQ(nullptr, id) << c.model;
            continue;
        }
        EXPECT_STREQ(c.id, id) << c.model;
        EXPECT_GE(id, g_state.hardwareIdBuffer);
        EXPECT_LT(id, g_state.hardwareIdBuffer + sizeof(g_state.hardwareIdBuffer));
    }
}

/* Guards against a missing file, section or key reading as anything but
 * empty (and "RAW" for the data type). */
TEST_F(SetupInfoTest, MissingPiecesReadAsEmpty)
{
    struct Case
    {
        const char *what;
        std::string inf; /* empty: no file at all */
        const char *model;
    } cases[] = {
        {"no file", "", "Alpha"},
        {"no model key", kSampleInf, "Delta"},
        {"no install section", std::string(kMaker) + "\"Alpha\"=Missing.Install\r\n", "Alpha"},
        {"empty model value", std::string(kMaker) + "\"Alpha\"=\r\n", "Alpha"},
        {"value of commas", std::string(kMaker) + "\"Alpha\"=,,,\r\n", "Alpha"},
        {"no keys in install section",
         std::string(kMaker) + "\"Alpha\"=I\r\n[I]\r\nOther=1\r\n[D]\r\nDefaultDataType=EMF\r\n",
         "Alpha"},
        {"no DefaultDataType",
         std::string(kMaker) + "\"Alpha\"=I\r\n[I]\r\nDataSection=D\r\n[D]\r\nX=1\r\n", "Alpha"},
    };
    for (const Case &c : cases)
    {
        SCOPED_TRACE(c.what);
        if (c.inf.empty())
            tempinf::Use(folder_ + "NO_SUCH.INF");
        else
            UseInf(c.inf);
        lstrcpyA(g_state.dependentFiles, "stale");
        g_state.fileCount = 7;
        ChooseModel(c.model);
        EXPECT_EQ(1, ReadModelData());
        EXPECT_EQ(0u, g_state.fileCount);
        EXPECT_EQ('\0', g_state.dependentFiles[0]);
        EXPECT_STREQ("RAW", g_state.defaultDataType);
        EXPECT_EQ(nullptr, GetHardwareId(c.model));
    }
    tempinf::Use(folder_ + "NO_SUCH.INF");
    EXPECT_EQ(0, CountModels());
    EXPECT_EQ("(untouched)", ModelName(0));
}

/* Guards against counting names the 1024-byte key list could not hold,
 * while the names themselves still come whole from the larger list. */
TEST_F(SetupInfoTest, CountCoversOnlyTheKeysThatFitIn1024Bytes)
{
    std::string inf = kMaker;
    for (int i = 0; i < 60; ++i)
    {
        char key[64];
        wsprintfA(key, "\"Tarvik Model Number %04d\"", i); /* 26 bytes, 27 with its NUL */
        inf += std::string(key) + "=Alpha.Install\r\n";
    }
    UseInf(inf);
    /* 37 names of 27 bytes take 999 bytes; Wine cuts the 38th to fit and
     * keeps it, as Windows does, closing the list with two NULs. */
    EXPECT_EQ(38, CountModels());
    EXPECT_EQ("Tarvik Model Number 0037", ModelName(37));
    EXPECT_EQ("Tarvik Model Number 0059", ModelName(59));
    EXPECT_EQ("(untouched)", ModelName(60));
}

/* Guards against a value the platform cut to fit being used (the cut last
 * name is another file, which would be deleted and installed), against
 * device names taken for files, and against writes past the fixed
 * buffers. */
TEST_F(SetupInfoTest, CutValuesAndDeviceNamesRefuseTheModel)
{
    std::string files;
    while (files.size() < 1300)
        files += "@F.DLL,";
    /* 1022 bytes: the longest value that does not fill its buffer. */
    std::string longest = std::string(1010, 'L') + ".DLL,M.DLL";
    longest = std::string(1022 - longest.size(), 'A') + longest;
    struct Case
    {
        const char *what;
        std::string model;   /* the model's value: install section, hardware id */
        std::string install; /* the install section's lines */
        std::string data;    /* the data section's lines */
        bool refused;
    };
    const Case cases[] = {
        {"plain", "I,ID", "CopyFiles=A.DLL,B.INI\r\nDataSection=D", "DefaultDataType=RAW", false},
        {"longest value that fits", "I,ID", "CopyFiles=" + longest, "", false},
        {"file list cut", "I,ID", "CopyFiles=" + files, "", true},
        {"model value cut", "I," + std::string(1400, 'H'), "CopyFiles=A.DLL", "", true},
        {"data section name cut", "I", "CopyFiles=A.DLL\r\nDataSection=" + std::string(1100, 'D'),
         "", true},
        {"data type cut", "I", "CopyFiles=A.DLL\r\nDataSection=D",
         "DefaultDataType=" + std::string(1200, 'T'), true},
        {"printer port", "I", "CopyFiles=A.DLL,LPT1", "", true},
        {"serial port with extension", "I", "CopyFiles=@com9.gpd", "", true},
        {"console, blank before the dot", "I", "CopyFiles=A.DLL,Con .txt", "", true},
        {"clock", "I", "CopyFiles=CLOCK$", "", true},
        {"path in a name", "I", "CopyFiles=..\\A.DLL", "", true},
        {"device-like but a file", "I", "CopyFiles=COM10.DLL,LPT.INI,NULL.DAT,CONSOLE", "", false},
    };
    for (const Case &c : cases)
    {
        SCOPED_TRACE(c.what);
        UseInf(kMaker + ("\"Model\"=" + c.model + "\r\n[I]\r\n" + c.install + "\r\n[D]\r\n" +
                         c.data + "\r\n"));
        ChooseModel("Model");
        EXPECT_EQ(1, ReadModelData());
        EXPECT_EQ(c.refused ? 1u : 0u, g_state.modelDataRefused);
        std::vector<std::string> names = Files();
        EXPECT_EQ(names.size(), g_state.fileCount);
        EXPECT_EQ(c.refused, names.empty());
        EXPECT_LT(strlen(g_state.defaultDataType), sizeof(g_state.defaultDataType));
    }
    /* A hardware identifier cut to fit is none. */
    UseInf(kMaker + ("\"Model\"=I," + std::string(1400, 'H') + "\r\n"));
    EXPECT_EQ(nullptr, GetHardwareId("Model"));

    /* A model name whose quoted key would not fit reads as unknown. */
    ChooseModel(std::string(1023, 'M'));
    EXPECT_EQ(1, ReadModelData());
    EXPECT_EQ(0u, g_state.fileCount);
    EXPECT_EQ(nullptr, GetHardwareId(g_state.modelName));
}

/* Guards against a model name that could open, or delete, a printer on
 * another machine or break the default-printer entry, and against one the
 * spooler cannot take. */
TEST_F(SetupInfoTest, ModelNamesThePrinterCannotBearAreLeftOut)
{
    const std::string longest(220, 'N');
    struct Case
    {
        std::string key;
        std::string shown; /* "" when left out */
    };
    const Case cases[] = {
        {"Tarvik M270", "Tarvik M270"},
        {"\\\\host\\p", ""},
        {"Tarvik, M270", ""},
        {longest, longest},
        {longest + "N", ""},
        {std::string(1500, 'K'), ""},
    };
    std::string inf = kMaker;
    for (const Case &c : cases)
        inf += "\"" + c.key + "\"=I\r\n";
    UseInf(inf);
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i)
    {
        SCOPED_TRACE(cases[i].key.substr(0, 20));
        EXPECT_EQ(cases[i].shown, ModelName((WORD)i));
    }
}

/* Guards against a setup information path that is not beside the program
 * or that is recomputed once stored. */
TEST_F(SetupInfoTest, PathIsBesideTheProgramAndComputedOnce)
{
    char module[SETUP_TEXT_MAX];
    GetModuleFileNameA(NULL, module, sizeof(module));
    std::string expected = module;
    expected = expected.substr(0, expected.rfind('\\') + 1);
    char folder[SETUP_TEXT_MAX];
    GetModuleFolder(folder);
    EXPECT_EQ(expected, folder);

    EXPECT_EQ(expected + "M270.INF", GetSetupInfoPath());
    EXPECT_EQ(g_state.infPath, GetSetupInfoPath());
    SetCurrentDirectoryA(folder_.c_str());
    EXPECT_EQ(expected + "M270.INF", GetSetupInfoPath());
    EXPECT_STREQ("TarvikSystems", GetManufacturerSection());
}

/* Guards against the driver directory's backslash written past its buffer,
 * and against a stale or lone "\\" (the root) when the spooler gives none. */
TEST_F(SetupInfoTest, DriverDirectoryKeepsRoomForItsBackslash)
{
    UseInf(kSampleInf);
    ChooseModel("Alpha");
    SpoolerApi filling = kWinSpooler;
    filling.getPrinterDriverDirectory = FillDriverDirectory;
    SpoolerApi refusing = kWinSpooler;
    refusing.getPrinterDriverDirectory = RefuseDriverDirectory;

    g_spooler = &filling;
    EXPECT_EQ(1, ReadModelData());
    EXPECT_EQ(std::string(1022, 'D') + "\\", g_state.driverDirectory);

    g_spooler = &refusing;
    EXPECT_EQ(1, ReadModelData());
    EXPECT_STREQ("", g_state.driverDirectory);
    EXPECT_EQ(4u, g_state.fileCount);
    g_spooler = &kWinSpooler;
}
