/*
 * Fuzz entry for the setup information text handling: arbitrary bytes as a
 * key list (possibly without its closing NULs), each key as a quoted model
 * name, and the bytes as a model value, a CopyFiles value and a folder path.
 * Every buffer is a heap block of exactly the size the function is told,
 * with sizes drawn around the length the result needs, and every result is
 * read back: the names walked lie inside the list, a stripped name quoted
 * again gives its key, tokens are the value's comma fields, a refusal leaves
 * its output empty or unchanged as documented.  Built as a libFuzzer target
 * with clang (SETUP_FUZZ), and driven with random inputs by the native unit
 * tests under the name FuzzInfText.
 */
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "setupinfo/inf_text.h"

namespace
{

/* A model key: the name inside its quotes, cut to the buffer, and quoted
 * again into a buffer that fits it or not.  The stripped name is the one the
 * spooler is given, so a check of model names belongs here too. */
void CheckModelKey(const char *key, FuzzInput &in)
{
    std::string whole = key;
    std::string inner = whole.size() >= 2 ? whole.substr(1, whole.size() - 2) : "";
    ExactBuffer name(SizeNear(in, inner.size() + 1));
    StripEnclosingQuotes(key, name.Data(), name.Size());
    if (name.Size() == 0)
        return;
    FUZZ_CHECK(name.Terminated());
    size_t kept = strlen(name.Data());
    FUZZ_CHECK(kept == (inner.size() < name.Size() ? inner.size() : name.Size() - 1));
    FUZZ_CHECK(inner.compare(0, kept, name.Data()) == 0);
    /* The spooler's rules for a local printer's name, counted in
     * characters near its limit. */
    size_t characters = kept + (in.Byte() % 4) * MODEL_NAME_MAX_CHARS / 2;
    bool usable =
        kept > 0 && characters <= MODEL_NAME_MAX_CHARS && strpbrk(name.Data(), "\\,") == nullptr;
    FUZZ_CHECK(IsUsableModelName(name.Data(), characters) == (int)usable);

    ExactBuffer quoted(SizeNear(in, kept + 3));
    if (CheckBuilt(quoted, BuildQuotedKey(name.Data(), quoted.Data(), quoted.Size()), kept + 3) &&
        kept == inner.size() && whole.size() >= 2 && whole.front() == '"' && whole.back() == '"')
        FUZZ_CHECK(whole == quoted.Data());
}

/* The key list: every name walked lies inside the buffer and ends in a NUL
 * there, and there are as many as counted. */
void CheckKeyList(const uint8_t *data, size_t size, FuzzInput &in)
{
    ExactBuffer list(size);
    if (size)
        memcpy(list.Data(), data, size);
    unsigned count = CountKeyNames(list.Data(), size);
    for (unsigned i = 0; i <= count && i < 16; i++)
    {
        const char *key = NthKeyName(list.Data(), size, i);
        FUZZ_CHECK((key != nullptr) == (i < count));
        if (!key)
            continue;
        FUZZ_CHECK(key >= list.Data() && key < list.Data() + size);
        FUZZ_CHECK(memchr(key, '\0', list.Data() + size - key) != nullptr && *key != '\0');
        CheckModelKey(key, in);
    }
}

/* Tokens are the non-empty comma fields of the value, in order. */
void CheckTokens(const std::string &value)
{
    std::vector<std::string> fields;
    for (size_t start = 0, comma = 0; start <= value.size(); start = comma + 1)
    {
        comma = std::min(value.find(',', start), value.size());
        if (comma > start)
            fields.push_back(value.substr(start, comma - start));
    }
    for (size_t i = 0; i <= fields.size() && i < 4; i++)
    {
        ExactText text(value);
        const char *token = SplitCommaToken(text.Data(), (unsigned)i);
        if (i == fields.size())
            FUZZ_CHECK(token == nullptr);
        else
            FUZZ_CHECK(token && token >= text.Data() && fields[i] == token);
    }
}

/* The dependent-file list: every counted name lies inside the list, which
 * ends in an empty name; each is a CopyFiles entry. */
void CheckFileList(const std::string &value, FuzzInput &in)
{
    ExactText copyFiles(value);
    ExactBuffer files(SizeNear(in, value.size() + 2));
    uint32_t fileCount = BuildDependentFileList(copyFiles.Data(), files.Data(), files.Size());
    if (files.Size() == 0)
    {
        FUZZ_CHECK(fileCount == 0);
        return;
    }
    const char *end = files.Data() + files.Size();
    const char *p = files.Data();
    for (uint32_t i = 0; i < fileCount; i++)
    {
        size_t len = strnlen(p, end - p);
        FUZZ_CHECK(len > 0 && p + len < end);
        std::string name(p, len);
        std::string entries = "," + value + ",";
        FUZZ_CHECK(name.find(',') == std::string::npos);
        FUZZ_CHECK(entries.find("," + name + ",") != std::string::npos ||
                   entries.find(",@" + name + ",") != std::string::npos);
        p += len + 1;
    }
    FUZZ_CHECK(p < end && *p == '\0');
}

/* A folder path: a backslash appended when it fits, else the buffer left
 * as it was (also when no NUL closes it); cut after its last backslash. */
void CheckFolder(const std::string &value, FuzzInput &in)
{
    ExactBuffer path(SizeNear(in, value.size() + 2));
    size_t n = value.size() < path.Size() ? value.size() : path.Size();
    memcpy(path.Data(), value.data(), n);
    if (n < path.Size() && in.Byte() % 4)
        path.Data()[n] = '\0';
    std::string before(path.Data(), path.Size());
    size_t len = strnlen(path.Data(), path.Size());
    int fits = AppendBackslash(path.Data(), path.Size());
    FUZZ_CHECK(fits == (len + 2 <= path.Size()));
    if (!fits)
    {
        FUZZ_CHECK(before == std::string(path.Data(), path.Size()));
        return;
    }
    FUZZ_CHECK(before.compare(0, len, path.Data(), len) == 0 && path.Data()[len] == '\\' &&
               path.Data()[len + 1] == '\0');

    path.Data()[len] = '\0';
    std::string folder = path.Data();
    CutToFolder(path.Data(), path.Size());
    FUZZ_CHECK(path.Terminated());
    std::string cut = path.Data();
    if (folder.empty())
        FUZZ_CHECK(std::string(".\\").compare(0, cut.size(), cut) == 0);
    else if (folder.find('\\') == std::string::npos)
        FUZZ_CHECK(cut == folder);
    else
        FUZZ_CHECK(cut.back() == '\\' && folder.compare(0, cut.size(), cut) == 0 &&
                   folder.find('\\', cut.size()) == std::string::npos);
}

} // namespace

extern "C" int FUZZ_ENTRY(const uint8_t *data, size_t size)
{
    /* Sizes are drawn from the same bytes. */
    FuzzInput in(data, size);
    CheckKeyList(data, size, in);

    /* The same bytes as a NUL-terminated value of at most 1023 bytes, as the
     * private-profile reader delivers values. */
    size_t n = size ? strnlen((const char *)data, size < 1023 ? size : 1023) : 0;
    std::string value((const char *)data, n);
    CheckTokens(value);
    CheckFileList(value, in);
    CheckFolder(value, in);
    return 0;
}
