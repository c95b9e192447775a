/*
 * Fuzz entry for the copy dialog's plain decisions: the progress bar's
 * percentage, split and text, the error table, the check of a listed file
 * name and the paths built from it.  Every output goes to a heap block of the
 * exact size the function is told, with sizes drawn around the length the
 * result needs, and is read back: a path must give back its directory, its
 * version and its name, a refusal must leave the output empty.  Built as a
 * libFuzzer target with clang (SETUP_FUZZ), and driven with random inputs by
 * the native unit tests under the name FuzzCopyLogic.
 */
#include <ctype.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "copy/copy_logic.h"
#include "fuzz_input.h"
#include "profile/resource.h"

namespace
{

/* What a name the check accepts must never be, one documented refusal a row.
 * A new refusal of IsBareFileName is one more row here, and names that
 * provoke it go into kNameSeeds. */
struct NameRule
{
    const char *why;
    bool (*breaks)(const std::string &name);
};

const NameRule kNameRules[] = {
    {"one of the copy's own working names, which it deletes as leftovers",
     [](const std::string &n) { return IsWorkName(n.c_str()) != 0; }},
    {"empty", [](const std::string &n) { return n.empty(); }},
    {"a folder separator or a drive colon",
     [](const std::string &n) { return n.find_first_of("\\/:") != std::string::npos; }},
    {"dots and blanks only, which Windows trims to \".\" or \"..\"",
     [](const std::string &n) { return n.find_first_not_of(". ") == std::string::npos; }},
    {"a device, which Windows opens instead of a file",
     [](const std::string &n)
     {
         std::string base = n.substr(0, n.find('.'));
         base.erase(base.find_last_not_of(' ') + 1);
         for (char &c : base)
             c = (char)toupper((unsigned char)c);
         for (const char *device : {"CON", "PRN", "AUX", "NUL", "CLOCK$", "CONIN$", "CONOUT$"})
             if (base == device)
                 return true;
         return base.size() == 4 &&
                (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
                base[3] >= '1' && base[3] <= '9';
     }},
};

// clang-format off
const char *const kNameSeeds[] = {
    "M270.GPD", "UNIDRV.DLL", "M270RES.DLL", ".", "..", ". .", "...", " ", "a\\b", "C:", "/x", "\\",
    "CON", "lpt1.gpd", "com9 ", "CLOCK$", "conout$.x", "NUL .dll", "COM0", "LPT10", "AUXX",
    "~SETUP-0123456789AB.NEW", "~setup-8b0e9c5d0f8e.Old"};
// clang-format on

const char *const kDirectories[] = {"C:\\windows\\system32\\spool\\drivers\\w32x86\\",
                                    "C:\\windows\\system32\\spool\\drivers\\w32x86", ""};

template <typename T, size_t N> T Pick(FuzzInput &in, T (&table)[N])
{
    return table[in.Byte() % N];
}

/* MulDiv rounding: `percent` is 100 * done / count to the nearest, halves
 * away from zero; MulDiv answers -1 when that leaves the 32-bit range. */
void CheckPercent(int32_t done, int32_t count)
{
    int32_t percent = ProgressPercent(done, count);
    if (count <= 0)
    {
        FUZZ_CHECK(percent == -1);
        return;
    }
    __int128 scaled = (__int128)100 * done;
    __int128 diff = 2 * ((__int128)percent * count - scaled);
    bool nearest = diff >= -count && diff <= count && (diff != count || scaled >= 0) &&
                   (diff != -count || scaled < 0);
    bool outOfRange =
        scaled >= (__int128)INT32_MAX * count || scaled <= (__int128)INT32_MIN * count;
    FUZZ_CHECK(nearest || (percent == -1 && outOfRange));
    if (done >= 0 && done <= count)
    {
        FUZZ_CHECK(percent >= 0 && percent <= 100);
        if (done < count)
            FUZZ_CHECK(ProgressPercent(done + 1, count) >= percent);
    }
}

/* The bar: filled from left to split, the split at percent * width / 100
 * in whole pixels (the platform's floating-point product truncated), the
 * whole bar at 100 %. */
void CheckLayout(int32_t done, int32_t count, int32_t left, int32_t right)
{
    ProgressLayout layout = LayoutProgressBar(done, count, left, right);
    if (count <= 0 || done < 0)
    {
        FUZZ_CHECK(layout.split == left && layout.percent == -1 && !layout.hasText);
        return;
    }
    FUZZ_CHECK(layout.hasText && layout.percent == ProgressPercent(done, count));
    if (layout.percent >= 100)
        FUZZ_CHECK(layout.split == right);
    else if (layout.percent >= 0)
    {
        int64_t width = right > left ? (int64_t)right - left : 0;
        FUZZ_CHECK(layout.split - (int64_t)left == layout.percent * width / 100);
    }
}

/* "45 %": fits or leaves the buffer empty, and reads back as the number. */
void CheckPercentText(int32_t percent, FuzzInput &in)
{
    size_t needed = (size_t)snprintf(nullptr, 0, "%d", (int)percent) + 3;
    ExactBuffer out(SizeNear(in, needed));
    if (!CheckBuilt(out, FormatPercent(percent, out.Data(), out.Size()), needed))
        return;
    char *end = nullptr;
    FUZZ_CHECK(strtol(out.Data(), &end, 10) == percent && strcmp(end, " %") == 0);
}

/* Every code has a message; a copy is tried again only after a code whose
 * message names the bad handle. */
void CheckErrorCode(int32_t code)
{
    uint16_t id = CopyErrorStringId(code);
    FUZZ_CHECK(id == IDS_ERR_FILE_OPEN || id == IDS_ERR_BAD_SOURCE || id == IDS_ERR_BAD_DEST ||
               id == IDS_ERR_DAMAGED || id == IDS_ERR_DISK_FULL || id == IDS_ERR_MEMORY ||
               id == IDS_ERR_DECOMPRESS || id == IDS_ERR_UNKNOWN);
    int outcome = CopyFileOutcome(code);
    FUZZ_CHECK((outcome == COPY_FILE_DONE) == (code == 0));
    FUZZ_CHECK(outcome == COPY_FILE_DONE || outcome == COPY_FILE_GIVE_UP ||
               outcome == COPY_FILE_RETRY);
    if (outcome == COPY_FILE_RETRY)
        FUZZ_CHECK(id == IDS_ERR_BAD_SOURCE || id == IDS_ERR_BAD_DEST);
}

/* The name LZOpenFileA falls back to: only the last component changes, by
 * its last letter turned into "_" or by one or two characters added, the
 * last of them "_".  A refusal only when the longest result would not fit. */
void CheckFallback(const std::string &path, FuzzInput &in)
{
    ExactText source(path);
    ExactBuffer out(SizeNear(in, path.size() + 3));
    int fits = LzFallbackName(source.Data(), out.Data(), out.Size());
    if (out.Size() == 0)
    {
        FUZZ_CHECK(!fits);
        return;
    }
    FUZZ_CHECK(out.Terminated());
    if (!fits)
    {
        FUZZ_CHECK(out.Data()[0] == '\0' && path.size() + 3 > out.Size());
        return;
    }
    std::string result = out.Data();
    size_t folder = (size_t)(PathFileName(source.Data()) - source.Data());
    FUZZ_CHECK(result.size() >= path.size() && result.size() <= path.size() + 2);
    FUZZ_CHECK(result.back() == '_');
    FUZZ_CHECK(result.compare(0, folder, path, 0, folder) == 0);
    FUZZ_CHECK(path.empty() || result.compare(0, path.size() - 1, path, 0, path.size() - 1) == 0);
    FUZZ_CHECK((size_t)(PathFileName(out.Data()) - out.Data()) == folder);
}

/* Both working names of a destination: in its folder, of the working-name
 * form, never the destination itself nor each other; refused only when
 * they do not fit. */
void CheckWorkPaths(const std::string &destination, FuzzInput &in)
{
    ExactText source(destination);
    size_t folder = (size_t)(PathFileName(source.Data()) - source.Data());
    std::string made[2];
    for (int kind : {COPY_WORK_TEMPORARY, COPY_WORK_KEPT})
    {
        ExactBuffer out(SizeNear(in, folder + 24));
        int fits = BuildWorkPath(source.Data(), kind, out.Data(), out.Size());
        if (!CheckBuilt(out, fits, folder + 24))
            return;
        made[kind] = out.Data();
        FUZZ_CHECK(made[kind].compare(0, folder, destination, 0, folder) == 0);
        FUZZ_CHECK(IsWorkName(made[kind].c_str() + folder) && made[kind] != destination);
    }
    FUZZ_CHECK(made[0] != made[1]);
}

bool EndsInBackslash(const std::string &text)
{
    return !text.empty() && text.back() == '\\';
}

/* One listed name: the check, the destination path and the version path,
 * each read back, and the fallback names of both paths. */
void CheckName(const std::string &name, const std::string &directory, FuzzInput &in)
{
    ExactText nameText(name);
    ExactText dirText(directory);
    int bare = IsBareFileName(nameText.Data());
    for (const NameRule &rule : kNameRules)
    {
        if (bare && rule.breaks(name))
        {
            fprintf(stderr, "accepted a name that is %s\n", rule.why);
            FUZZ_CHECK(!"IsBareFileName accepted a refused name");
        }
    }
    /* In a folder, a bare name is the path's last component. */
    bool nameIsLast = bare && (directory.empty() || EndsInBackslash(directory));

    std::string destination = directory + name;
    ExactBuffer out(SizeNear(in, destination.size() + 1));
    int fits = BuildDestinationPath(dirText.Data(), nameText.Data(), out.Data(), out.Size());
    if (CheckBuilt(out, fits, destination.size() + 1))
    {
        FUZZ_CHECK(destination == out.Data());
        if (nameIsLast)
            FUZZ_CHECK(name == PathFileName(out.Data()));
        CheckFallback(destination, in);
        CheckWorkPaths(out.Data(), in);
    }

    int32_t version = in.Int32();
    std::string separator = EndsInBackslash(directory) ? "" : "\\";
    size_t versionLength = directory.size() + separator.size() +
                           (size_t)snprintf(nullptr, 0, "%d", (int)version) + 1 + name.size();
    ExactBuffer versionPath(SizeNear(in, versionLength + 1));
    fits = BuildVersionPath(dirText.Data(), version, nameText.Data(), versionPath.Data(),
                            versionPath.Size());
    if (!CheckBuilt(versionPath, fits, versionLength + 1))
        return;
    /* Read back: the directory, one backslash, the version, a backslash,
     * the name. */
    const char *p = versionPath.Data();
    FUZZ_CHECK(strncmp(p, directory.c_str(), directory.size()) == 0);
    p += directory.size() + separator.size();
    FUZZ_CHECK(p[-1] == '\\');
    char *end = nullptr;
    FUZZ_CHECK(strtol(p, &end, 10) == version && *end == '\\' && name == end + 1);
    if (bare)
        FUZZ_CHECK(name == PathFileName(versionPath.Data()));
    CheckFallback(versionPath.Data(), in);
}

} // namespace

extern "C" int FUZZ_ENTRY(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    int32_t done = in.Int32();
    int32_t count = in.Int32();
    CheckPercent(done, count);
    CheckLayout(done, count, in.Int32(), in.Int32());
    CheckPercentText(in.Int32(), in);
    CheckErrorCode(in.Int32());

    uint8_t tag = in.Byte();
    std::string directory = tag % 4 < 3 ? kDirectories[tag % 4] : in.Text();
    for (int i = 0; i < 16 && !in.Empty(); i++)
    {
        uint8_t how = in.Byte() % 4;
        std::string name = how == 0   ? in.Text()
                           : how == 1 ? Pick(in, kNameSeeds)
                           : how == 2 ? Pick(in, kNameSeeds) + in.Text()
                                      : in.Text() + Pick(in, kNameSeeds);
        CheckName(name, directory, in);
    }
    return 0;
}
