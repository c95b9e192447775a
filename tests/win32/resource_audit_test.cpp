/*
 * Audit of the resources of the four built programs, each loaded as a data
 * file: the exact set of resources and their languages, every dialog
 * template decoded from its raw bytes and compared with the language's
 * table, the icon images, the bitmaps' form and the manifest.  It also
 * creates every template to see that the images its controls name resolve.
 * The string table's texts are checked by strings_ko_test.cpp.
 */
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "support/built_programs.h"
#include "tests/support/page_texts.h"

namespace
{

// ------------------------------------------------------------ expected data

enum Lang : unsigned char
{
    K = 1, // Korean builds only
    E = 2, // English builds only
    B = 3  // both
};

struct ControlRow
{
    unsigned char langs;
    int id;
    const char *cls; // "#128" button, "#130" static, "#131" list box
    DWORD style;
    short x, y, cx, cy;
    const char *korean; // UTF-8; "#n" is an ordinal
    const char *english;
};

// clang-format off
#define BTN "#128"
#define STA "#130"
#define LST "#131"
#define PAGE_BACKGROUND {B, -1, STA, 0x5000180E, 0, 0, 333, 179, "#113", "#113"}
#define PAGE_SEPARATOR {K, -1, STA, 0x50001006, 124, 151, 202, 1, "", ""}, \
                       {E, -1, STA, 0x50001005, 124, 151, 202, 1, "", ""}
#define PICTURE_BUTTON {B, 2039, BTN, 0x4801000B, 6, 149, 19, 30, "", ""}
#define INFO_ICON(x, y) {B, -1, STA, 0x50000003, x, y, 21, 18, "#32516", "#32516"}
#define MESSAGE_TEXT(y, cy) {B, 4038, STA, 0x50020000, 38, y, 167, cy, "", ""}
#define MESSAGE_ICON {B, 2032, STA, 0x50000003, 10, 8, 20, 20, "", ""}
// clang-format on
#define TEXTS(name) pagetext::name.korean, pagetext::name.english
#define OK_TEXTS TEXTS(kOk)
#define CANCEL_TEXTS TEXTS(kCancel)
#define NEXT_TEXTS TEXTS(kNext)
#define BACK_TEXTS TEXTS(kBack)
#define YES_TEXTS "예(&Y)", "&Yes"
#define NO_TEXTS "아니오(&N)", "&No"

const ControlRow kWelcome[] = {
    {K, -1, STA, 0x5000100E, 0, 0, 333, 178, "#113", nullptr},
    {E, -1, STA, 0x5000180E, 0, 0, 333, 226, nullptr, "#113"},
    {B, 2001, BTN, 0x50010001, 199, 154, 56, 15, NEXT_TEXTS},
    PAGE_SEPARATOR,
    {B, 2, BTN, 0x50010000, 272, 154, 54, 15, CANCEL_TEXTS},
    PICTURE_BUTTON,
    {B, 2037, STA, 0x50020000, 163, 53, 154, 93, "Static", "Static"},
    INFO_ICON(131, 14),
    {B, -1, STA, 0x50020000, 163, 16, 154, 27, TEXTS(kWelcomeSentence)},
};

const ControlRow kGetModel[] = {
    PAGE_BACKGROUND,
    PAGE_SEPARATOR,
    PICTURE_BUTTON,
    {B, 2035, LST, 0x50A10151, 129, 48, 189, 96, "", ""},
    {B, 2001, BTN, 0x50010001, 191, 156, 65, 12, NEXT_TEXTS},
    {B, 2, BTN, 0x50010000, 262, 156, 63, 12, CANCEL_TEXTS},
    {B, 2009, STA, 0x50020000, 159, 12, 157, 23, TEXTS(kModelInstruction)},
    {K, 2034, STA, 0x50020000, 129, 36, 188, 9, pagetext::kModelLabel.korean, nullptr},
    {E, 2034, STA, 0x50020000, 129, 39, 188, 8, nullptr, pagetext::kModelLabel.english},
    INFO_ICON(129, 12),
    {B, 2000, BTN, 0x50010000, 128, 156, 63, 12, BACK_TEXTS},
};

const ControlRow kGetPort[] = {
    PAGE_BACKGROUND,
    PAGE_SEPARATOR,
    PICTURE_BUTTON,
    {K, 2017, STA, 0x50020000, 131, 47, 186, 8, pagetext::kPortLabel.korean, nullptr},
    {E, 2017, STA, 0x50020000, 131, 42, 186, 8, nullptr, pagetext::kPortLabel.english},
    {K, 2009, STA, 0x50020000, 162, 14, 153, 26, pagetext::kPortInstruction.korean, nullptr},
    {E, 2009, STA, 0x50020000, 162, 14, 153, 22, nullptr, pagetext::kPortInstruction.english},
    {K, 2033, LST, 0x50A10151, 130, 59, 189, 87, "", nullptr},
    {E, 2033, LST, 0x50A10151, 130, 50, 189, 96, nullptr, ""},
    {B, 2001, BTN, 0x50010001, 191, 156, 65, 12, NEXT_TEXTS},
    {B, 2000, BTN, 0x50010000, 128, 156, 63, 12, BACK_TEXTS},
    {B, 2, BTN, 0x50010000, 262, 156, 63, 12, CANCEL_TEXTS},
    INFO_ICON(130, 14),
};

const ControlRow kExit[] = {
    PAGE_BACKGROUND,
    PAGE_SEPARATOR,
    PICTURE_BUTTON,
    {B, 1, BTN, 0x50010000, 272, 154, 54, 15, OK_TEXTS},
    {B, 2032, STA, 0x50000003, 129, 13, 21, 18, "", ""},
    {B, 2005, STA, 0x50020000, 155, 19, 162, 18, "", ""},
    {B, 2038, STA, 0x50020000, 161, 127, 156, 10, "", ""},
    {B, 2040, BTN, 0x50010003, 166, 90, 151, 10, TEXTS(kSetDefault)},
};

const ControlRow kCopy[] = {
    {B, 2010, STA, 0x50020000, 9, 9, 211, 10, "", ""},
    {B, 2011, STA, 0x50020000, 9, 22, 211, 11, "", ""},
    {B, 2, BTN, 0x50010001, 86, 55, 54, 15, CANCEL_TEXTS},
    {B, 2012, STA, 0x50820000, 6, 36, 215, 13, "", ""},
};

const ControlRow kStatus[] = {
    {B, 2031, STA, 0x50020000, 44, 15, 126, 10, "", ""},
    {B, -1, STA, 0x50000003, 13, 9, 20, 20, "IDI_DISK", "IDI_DISK"},
};

const ControlRow kMsgOk[] = {
    MESSAGE_TEXT(15, 30),
    MESSAGE_ICON,
    {B, 1, BTN, 0x50010001, 79, 52, 56, 15, OK_TEXTS},
};

const ControlRow kMsgOkCancel[] = {
    MESSAGE_TEXT(15, 30),
    MESSAGE_ICON,
    {B, 1, BTN, 0x50010001, 45, 52, 59, 15, OK_TEXTS},
    {B, 2, BTN, 0x50010000, 111, 52, 59, 15, CANCEL_TEXTS},
};

const ControlRow kMsgRetryCancel[] = {
    MESSAGE_TEXT(13, 32),
    MESSAGE_ICON,
    {B, 4, BTN, 0x50010001, 45, 52, 59, 15, "재시도(&R)", "&Retry"},
    {B, 2, BTN, 0x50010000, 111, 52, 59, 15, CANCEL_TEXTS},
};

const ControlRow kMsgYesNo[] = {
    MESSAGE_TEXT(13, 32),
    MESSAGE_ICON,
    {B, 6, BTN, 0x50010001, 45, 52, 58, 15, YES_TEXTS},
    {B, 7, BTN, 0x50010000, 111, 52, 59, 15, NO_TEXTS},
};

const ControlRow kMsgYesNoCancel[] = {
    MESSAGE_TEXT(13, 32),
    MESSAGE_ICON,
    {B, 6, BTN, 0x50010001, 16, 52, 57, 15, YES_TEXTS},
    {B, 7, BTN, 0x50010000, 77, 52, 58, 15, NO_TEXTS},
    {B, 2, BTN, 0x50010000, 139, 52, 58, 15, CANCEL_TEXTS},
};

struct DialogRow
{
    const char *name;
    bool extended;
    DWORD style, exStyle;
    short x, y, cx, cy;
    const char *font;             // "points/weight/italic/charset face"; classic: "points face"
    const char *korean, *english; // captions
    const ControlRow *controls;
    size_t count;
};

#define ROWS(a) a, sizeof(a) / sizeof(a[0])
#define WIZARD_CAPTIONS TEXTS(kWizardCaption)
// clang-format off
#define PAGE(name, ex, rows) \
    {name, true, 0x80C800C0, ex, 0, 0, 333, 179, "8/400/0/0 Arial", WIZARD_CAPTIONS, ROWS(rows)}
#define MESSAGE(name, rows) \
    {name, false, 0x80C800C4, 0, 13, 13, 214, 74, "8 MS Sans Serif", "", "", ROWS(rows)}
// clang-format on

const DialogRow kDialogs[] = {
    PAGE("IDD_WELCOME", 0, kWelcome),
    PAGE("IDD_GETMODEL", 0x100, kGetModel),
    PAGE("IDD_GETPORT", 0, kGetPort),
    PAGE("IDD_EXIT", 0, kExit),
    {"IDD_COPY", false, 0x80C800C4, 0, 14, 26, 227, 79, "8 MS Sans Serif", "파일 복사 중...",
     "Copying Files...", ROWS(kCopy)},
    {"IDD_STATUS", true, 0x800000C4, 0, 13, 14, 179, 36, "8/0/0/0 MS Sans Serif", "", "",
     ROWS(kStatus)},
    MESSAGE("IDD_MSG_OK", kMsgOk),
    MESSAGE("IDD_MSG_OKCANCEL", kMsgOkCancel),
    MESSAGE("IDD_MSG_RETRYCANCEL", kMsgRetryCancel),
    MESSAGE("IDD_MSG_YESNO", kMsgYesNo),
    MESSAGE("IDD_MSG_YESNOCANCEL", kMsgYesNoCancel),
};

// Group icons and their images as "width x height / bits", in order.
const std::pair<const char *, const char *> kIcons[] = {
    {"IDI_SETUP", "32x32/4 16x16/4"},
    {"IDI_PRINTER", "48x48/8 32x32/8 16x16/8"},
    {"IDI_PORT", "32x32/1 32x32/4"},
    {"IDI_NETWORK", "48x48/8 32x32/8 16x16/8"},
    {"IDI_DISK", "16x16/4 16x16/8 32x32/4 32x32/8"},
};

const char kManifest[] = "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" "
                         "manifestVersion=\"1.0\"></assembly>\r\n";

const BuiltProgram (&kPrograms)[4] = kBuiltPrograms;

// ------------------------------------------------------- reading resources

std::string Utf8(const std::wstring &w)
{
    if (w.empty())
        return std::string();
    // WC_ERR_INVALID_CHARS: a broken UTF-16 text must not compare equal
    // after both sides were turned into replacement characters.
    int n = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, w.c_str(), (int)w.size(), nullptr, 0,
                                nullptr, nullptr);
    if (n <= 0)
        return "<invalid UTF-16>";
    std::string s(n, '\0');
    WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, w.c_str(), (int)w.size(), &s[0], n, nullptr,
                        nullptr);
    return s;
}

std::string IdText(LPCSTR id)
{
    return IS_INTRESOURCE(id) ? "#" + std::to_string((unsigned)(ULONG_PTR)id) : std::string(id);
}

struct Resource
{
    std::string type, name;
    WORD lang;
    std::vector<BYTE> data;
};

struct Module
{
    HMODULE handle = nullptr;
    std::vector<Resource> resources;

    const Resource *Find(const std::string &type, const std::string &name) const
    {
        for (const Resource &r : resources)
            if (r.type == type && r.name == name)
                return &r;
        return nullptr;
    }
};

BOOL CALLBACK OnLanguage(HMODULE module, LPCSTR type, LPCSTR name, WORD lang, LONG_PTR param)
{
    Resource r{IdText(type), IdText(name), lang, {}};
    HRSRC found = FindResourceExA(module, type, name, lang);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const BYTE *bytes = loaded ? (const BYTE *)LockResource(loaded) : nullptr;
    if (bytes)
        r.data.assign(bytes, bytes + SizeofResource(module, found));
    ((Module *)param)->resources.push_back(r);
    return TRUE;
}

BOOL CALLBACK OnName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR param)
{
    EnumResourceLanguagesA(module, type, name, OnLanguage, param);
    return TRUE;
}

BOOL CALLBACK OnType(HMODULE module, LPSTR type, LONG_PTR param)
{
    EnumResourceNamesA(module, type, OnName, param);
    return TRUE;
}

// Reads a little-endian template field by field.
struct Reader
{
    const std::vector<BYTE> &b;
    size_t at = 0;
    bool overrun = false;

    unsigned Get(size_t n)
    {
        if (at + n > b.size())
        {
            overrun = true;
            at = b.size();
            return 0;
        }
        unsigned v = 0;
        for (size_t i = 0; i < n; i++)
            v |= (unsigned)b[at + i] << (8 * i);
        at += n;
        return v;
    }
    WORD Word()
    {
        return (WORD)Get(2);
    }
    DWORD Dword()
    {
        return Get(4);
    }
    short Short()
    {
        return (short)Get(2);
    }
    void Align()
    {
        at = std::min(b.size(), (at + 3) & ~(size_t)3);
    }
    // A string or, after 0xFFFF, an ordinal written "#n".
    std::string SzOrOrd()
    {
        std::wstring s;
        WORD c = Word();
        if (c == 0xFFFF)
            return "#" + std::to_string(Word());
        for (; c && !overrun; c = Word())
            s += (wchar_t)c;
        return Utf8(s);
    }
};

std::string Format(const char *fmt, ...)
{
    char buf[512];
    va_list args;
    va_start(args, fmt);
    vsnprintf(buf, sizeof buf, fmt, args);
    va_end(args);
    return buf;
}

std::string DescribeControl(int id, const std::string &cls, DWORD style, DWORD exStyle, short x,
                            short y, short cx, short cy, const std::string &text, DWORD help,
                            unsigned extra)
{
    return Format("id %d class %s style %08lX ex %08lX at %d,%d size %d,%d help %lu extra %u "
                  "text \"",
                  id, cls.c_str(), (unsigned long)style, (unsigned long)exStyle, x, y, cx, cy,
                  (unsigned long)help, extra) +
           text + "\"";
}

// The rows of a dialog's table that the given language's builds hold.
std::vector<const ControlRow *> RowsFor(const DialogRow &d, bool korean)
{
    std::vector<const ControlRow *> rows;
    for (size_t i = 0; i < d.count; i++)
        if (d.controls[i].langs & (korean ? K : E))
            rows.push_back(&d.controls[i]);
    return rows;
}

const char *TextFor(const ControlRow &c, bool korean)
{
    return korean ? c.korean : c.english;
}

// Decodes a DLGTEMPLATE or DLGTEMPLATEEX into one line for the frame and
// one per control, in template order.
std::vector<std::string> DecodeTemplate(const std::vector<BYTE> &bytes)
{
    Reader r{bytes};
    bool ex = r.Word() == 1 && r.Word() == 0xFFFF;
    if (!ex)
        r.at = 0;
    // The extended form has help, exStyle, style; the classic one style, exStyle.
    DWORD help = ex ? r.Dword() : 0, first = r.Dword(), second = r.Dword();
    DWORD style = ex ? second : first, exStyle = ex ? first : second;
    unsigned count = r.Word();
    short x = r.Short(), y = r.Short(), cx = r.Short(), cy = r.Short();
    std::string menu = r.SzOrOrd(), cls = r.SzOrOrd(), caption = r.SzOrOrd(), font;
    if (style & DS_SETFONT)
    {
        font = std::to_string(r.Word());
        if (ex)
        {
            unsigned weight = r.Word(), italic = r.Get(1), charset = r.Get(1);
            font += Format("/%u/%u/%u", weight, italic, charset);
        }
        font += " " + r.SzOrOrd();
    }
    std::vector<std::string> out;
    out.push_back(Format("%s help %lu style %08lX ex %08lX at %d,%d size %d,%d menu \"",
                         ex ? "extended" : "classic", (unsigned long)help, (unsigned long)style,
                         (unsigned long)exStyle, x, y, cx, cy) +
                  menu + "\" class \"" + cls + "\" font \"" + font + "\" caption \"" + caption +
                  "\"");
    for (unsigned i = 0; i < count && !r.overrun; i++)
    {
        r.Align();
        DWORD cHelp = ex ? r.Dword() : 0, cFirst = r.Dword(), cSecond = r.Dword();
        DWORD cStyle = ex ? cSecond : cFirst, cEx = ex ? cFirst : cSecond;
        short a = r.Short(), b = r.Short(), c = r.Short(), d = r.Short();
        int id = ex ? (int)r.Dword() : (short)r.Word();
        std::string ctlClass = r.SzOrOrd(), text = r.SzOrOrd();
        unsigned extra = r.Word();
        r.at += extra;
        out.push_back(DescribeControl(id, ctlClass, cStyle, cEx, a, b, c, d, text, cHelp, extra));
    }
    if (r.overrun)
        out.push_back("<template ends early>");
    return out;
}

std::vector<std::string> ExpectedTemplate(const DialogRow &d, bool korean)
{
    std::vector<std::string> out;
    out.push_back(Format("%s help 0 style %08lX ex %08lX at %d,%d size %d,%d menu \"",
                         d.extended ? "extended" : "classic", (unsigned long)d.style,
                         (unsigned long)d.exStyle, d.x, d.y, d.cx, d.cy) +
                  "\" class \"\" font \"" + d.font + "\" caption \"" +
                  (korean ? d.korean : d.english) + "\"");
    for (const ControlRow *c : RowsFor(d, korean))
        out.push_back(DescribeControl(c->id, c->cls, c->style, 0, c->x, c->y, c->cx, c->cy,
                                      TextFor(*c, korean), 0, 0));
    return out;
}

// --------------------------------------------------------------- the tests

class ResourceAudit : public ::testing::Test
{
  protected:
    static std::map<std::string, Module> modules;
    static std::string gap;

    static void SetUpTestSuite()
    {
        if (BuiltProgramPath("").empty())
        {
            gap = "SETUP_BIN_DIR is not set";
            return;
        }
        for (const BuiltProgram &p : kPrograms)
        {
            std::string path = BuiltProgramPath(p.file);
            Module m;
            SetLastError(0xdeadbeef);
            m.handle = LoadBuiltProgram(p.file);
            DWORD error = GetLastError();
            if (!m.handle)
            {
                gap = path + " does not load as a data file, error " + std::to_string(error);
                return;
            }
            EnumResourceTypesA(m.handle, OnType, (LONG_PTR)&m);
            modules[p.file] = m;
        }
    }
    static void TearDownTestSuite()
    {
        for (auto &m : modules)
            FreeLibrary(m.second.handle);
        modules.clear();
    }
    void SetUp() override
    {
        if (!gap.empty())
            GTEST_SKIP() << gap;
    }
};

std::map<std::string, Module> ResourceAudit::modules;
std::string ResourceAudit::gap;

// Guards against a missing, extra or wrongly numbered resource, and against
// a resource in a language other than 1042 (the manifest alone is 1033).
TEST_F(ResourceAudit, EachProgramHoldsExactlyTheExpectedResources)
{
    std::vector<std::string> expected = {"24/#1/1033", "2/#113/1042", "2/#2039/1042"};
    for (int block = 251; block <= 254; block++) // strings 4000 to 4055, 16 a block
        expected.push_back("6/#" + std::to_string(block) + "/1042");
    for (const DialogRow &d : kDialogs)
        expected.push_back(std::string("5/") + d.name + "/1042");
    for (const BuiltProgram &p : kPrograms)
    {
        SCOPED_TRACE(p.file);
        const Module &m = modules[p.file];
        std::vector<std::string> want = expected, got;
        for (const auto &icon : kIcons)
        {
            want.push_back(std::string("14/") + icon.first + "/1042");
            const Resource *group = m.Find("#14", icon.first);
            // Each icon image must belong to a group: read the ids the groups name.
            for (size_t i = 0; group && 6 + 14 * (i + 1) <= group->data.size(); i++)
                want.push_back("3/#" +
                               std::to_string(group->data[6 + 14 * i + 12] |
                                              group->data[6 + 14 * i + 13] << 8) +
                               "/1042");
        }
        for (const Resource &r : m.resources)
            got.push_back(r.type.substr(1) + "/" + r.name + "/" + std::to_string(r.lang));
        std::sort(want.begin(), want.end());
        std::sort(got.begin(), got.end());
        EXPECT_EQ(want, got);
    }
}

// Guards against any template field going astray: windres OR-ing style bits
// in, a wrong font weight or charset, controls out of tab order, a text
// mistyped or not stored as UTF-16, or an image named by string instead of
// by number.
TEST_F(ResourceAudit, DialogTemplatesMatchTheirLanguageTables)
{
    for (const BuiltProgram &p : kPrograms)
        for (const DialogRow &d : kDialogs)
        {
            SCOPED_TRACE(std::string(p.file) + " " + d.name);
            const Resource *r = modules[p.file].Find("#5", d.name);
            ASSERT_NE(nullptr, r);
            std::vector<std::string> want = ExpectedTemplate(d, p.korean);
            std::vector<std::string> got = DecodeTemplate(r->data);
            EXPECT_EQ(want.size(), got.size()) << "lines: the frame, then one per control";
            for (size_t i = 0; i < want.size() && i < got.size(); i++)
                EXPECT_EQ(want[i], got[i]) << (i ? "control " + std::to_string(i) : "frame");
        }
}

// Guards against icons with the wrong sizes or depths, PNG-compressed
// images, or images without their AND mask.
TEST_F(ResourceAudit, IconImagesHaveTheListedSizesAndDepths)
{
    for (const BuiltProgram &p : kPrograms)
        for (const auto &icon : kIcons)
        {
            SCOPED_TRACE(std::string(p.file) + " " + icon.first);
            const Module &m = modules[p.file];
            const Resource *group = m.Find("#14", icon.first);
            ASSERT_NE(nullptr, group);
            ASSERT_GE(group->data.size(), 6u);
            const BYTE *g = group->data.data();
            unsigned count = g[4] | g[5] << 8;
            ASSERT_EQ(group->data.size(), 6 + 14 * count);
            std::string forms;
            for (unsigned i = 0; i < count; i++)
            {
                const BYTE *e = g + 6 + 14 * i;
                const Resource *image = m.Find("#3", "#" + std::to_string(e[12] | e[13] << 8));
                ASSERT_NE(nullptr, image);
                ASSERT_GE(image->data.size(), sizeof(BITMAPINFOHEADER));
                BITMAPINFOHEADER h;
                memcpy(&h, image->data.data(), sizeof h);
                LONG w = h.biWidth;
                size_t colours = h.biBitCount <= 8 ? (size_t)1 << h.biBitCount : 0;
                size_t xorRow = (w * h.biBitCount + 31) / 32 * 4, andRow = (w + 31) / 32 * 4;
                EXPECT_EQ(sizeof h, h.biSize);
                EXPECT_EQ(2 * w, h.biHeight) << "height counts the AND mask";
                EXPECT_EQ(0u, h.biCompression);
                EXPECT_EQ(sizeof h + 4 * colours + (xorRow + andRow) * w, image->data.size());
                EXPECT_EQ(w, e[0] ? e[0] : 256);
                EXPECT_EQ(h.biBitCount, e[6] | e[7] << 8) << "group entry's depth";
                forms += (i ? " " : "") + Format("%ldx%ld/%u", w, h.biHeight / 2, h.biBitCount);
            }
            EXPECT_EQ(icon.second, forms);
        }
}

struct BitmapRow
{
    const char *name;
    LONG width, height;
    WORD bits;
    LONG pixelsPerMetre;
};

// Guards against a bitmap of the wrong form (size, depth, compression,
// top-down rows, resolution) and against a background whose panel, where
// the pages' controls stand, is not light.
TEST_F(ResourceAudit, BitmapsHaveTheirFormAndTheBackgroundALightPanel)
{
    const BitmapRow rows[] = {{"#113", 497, 309, 24, 2834}, {"#2039", 154, 248, 4, 3780}};
    for (const BuiltProgram &p : kPrograms)
        for (const BitmapRow &row : rows)
        {
            SCOPED_TRACE(std::string(p.file) + " bitmap " + row.name);
            const Resource *r = modules[p.file].Find("#2", row.name);
            ASSERT_NE(nullptr, r);
            ASSERT_GE(r->data.size(), sizeof(BITMAPINFOHEADER));
            BITMAPINFOHEADER h;
            memcpy(&h, r->data.data(), sizeof h);
            size_t stride = (row.width * row.bits + 31) / 32 * 4;
            size_t palette = row.bits <= 8 ? 4u << row.bits : 0;
            EXPECT_EQ(sizeof h, h.biSize);
            EXPECT_EQ(row.width, h.biWidth);
            EXPECT_EQ(row.height, h.biHeight) << "positive height: rows stored bottom-up";
            EXPECT_EQ(row.bits, h.biBitCount);
            EXPECT_EQ(0u, h.biCompression);
            EXPECT_EQ(row.pixelsPerMetre, h.biXPelsPerMeter);
            EXPECT_EQ(row.pixelsPerMetre, h.biYPelsPerMeter);
            ASSERT_EQ(sizeof h + palette + stride * row.height, r->data.size());
            if (row.bits != 24 || h.biHeight != row.height)
                continue;
            // The panel: columns 181 to 490, rows 8 to 299 from the top,
            // cream at its left edge shading to white at its right.
            const BYTE *bits = r->data.data() + sizeof h;
            auto pixel = [&](int x, int y) { return bits + (row.height - 1 - y) * stride + 3 * x; };
            int dark = 0;
            for (int y = 8; y <= 299; y++)
                for (int x = 181; x <= 490; x++)
                    dark += *std::min_element(pixel(x, y), pixel(x, y) + 3) < 0xD0;
            EXPECT_EQ(0, dark) << "pixels of the panel darker than 0xD0 in some channel";
            const BYTE *left = pixel(181, 150), *right = pixel(490, 150); // blue, green, red
            EXPECT_LT(left[0] + 16, left[2]) << "the panel's left edge is cream";
            EXPECT_GE(*std::min_element(right, right + 3), 0xF8) << "its right edge is white";
        }
}

// Guards against a manifest that gained an execution level or a dependency
// (which would theme the controls) or lost its bytes.
TEST_F(ResourceAudit, ManifestIsTheEmptyAssembly)
{
    for (const BuiltProgram &p : kPrograms)
    {
        SCOPED_TRACE(p.file);
        const Resource *r = modules[p.file].Find("#24", "#1");
        ASSERT_NE(nullptr, r);
        EXPECT_EQ(std::string(kManifest), std::string(r->data.begin(), r->data.end()));
        EXPECT_EQ(86u, r->data.size());
    }
}

// Guards against the two builds of one language drifting apart.
TEST_F(ResourceAudit, BuildsOfOneLanguageHaveIdenticalResources)
{
    for (size_t i = 0; i + 1 < 4; i += 2)
    {
        const Module &a = modules[kPrograms[i].file], &b = modules[kPrograms[i + 1].file];
        SCOPED_TRACE(std::string(kPrograms[i].file) + " and " + kPrograms[i + 1].file);
        ASSERT_EQ(a.resources.size(), b.resources.size());
        for (const Resource &r : a.resources)
        {
            const Resource *other = b.Find(r.type, r.name);
            ASSERT_NE(nullptr, other) << r.type << " " << r.name;
            EXPECT_EQ(r.lang, other->lang) << r.type << " " << r.name;
            EXPECT_TRUE(r.data == other->data) << r.type << " " << r.name;
        }
    }
}

INT_PTR CALLBACK QuietDlgProc(HWND, UINT, WPARAM, LPARAM)
{
    return 0;
}

// Guards against a template that does not create, or whose named images
// (bitmap 113, "IDI_DISK", the system's icon 32516) do not resolve, and
// against a picture button that is shown or enabled.
TEST_F(ResourceAudit, TemplatesCreateWithTheImagesTheyName)
{
    for (const BuiltProgram &p : kPrograms)
        for (const DialogRow &d : kDialogs)
        {
            SCOPED_TRACE(std::string(p.file) + " " + d.name);
            HMODULE module = modules[p.file].handle;
            SetLastError(0xdeadbeef);
            HWND dlg = CreateDialogParamA(module, d.name, nullptr, QuietDlgProc, 0);
            DWORD error = GetLastError();
            ASSERT_NE(nullptr, dlg) << "error " << error;
            std::vector<const ControlRow *> rows = RowsFor(d, p.korean);
            size_t i = 0;
            for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT), i++)
            {
                if (i >= rows.size())
                    continue;
                const ControlRow &row = *rows[i];
                const char *text = TextFor(row, p.korean);
                LONG style = GetWindowLongA(c, GWL_STYLE);
                // Children come in template order: the dialog manager puts
                // each new control at the bottom of the z-order.
                EXPECT_EQ(row.id, (short)GetDlgCtrlID(c)) << "control " << i;
                if (row.id == 2039)
                {
                    EXPECT_FALSE((style & WS_VISIBLE) || IsWindowEnabled(c));
                }
                if (!*text || strcmp(row.cls, STA) != 0)
                    continue;
                LONG type = style & SS_TYPEMASK;
                if (type != SS_ICON && type != SS_BITMAP)
                    continue;
                LRESULT image = type == SS_ICON ? SendMessageA(c, STM_GETICON, 0, 0)
                                                : SendMessageA(c, STM_GETIMAGE, IMAGE_BITMAP, 0);
                EXPECT_NE(0, image) << "no image for " << text;
            }
            EXPECT_EQ(rows.size(), i) << "number of controls created";
            DestroyWindow(dlg);
        }
}

} // namespace
