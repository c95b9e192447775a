/*
 * What the fuzz entries share: a reader that turns the fuzzer's bytes into
 * texts and numbers, and heap blocks of an exact size, so that AddressSanitizer
 * reports a single byte read or written past the size a function was given.
 * The reader never fails: once the bytes run out it answers empty texts and
 * zeros, so every entry runs to its end on any input.
 */
#ifndef SETUP_FUZZ_INPUT_H
#define SETUP_FUZZ_INPUT_H

#include <ctype.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <memory>
#include <string>

/* The entry's name: libFuzzer's, unless the unit tests' wrapper renamed it. */
#ifndef FUZZ_ENTRY
#define FUZZ_ENTRY LLVMFuzzerTestOneInput
#endif

class FuzzInput
{
  public:
    FuzzInput(const uint8_t *data, size_t size) : data_(data), size_(size) {}

    bool Empty() const
    {
        return pos_ >= size_;
    }

    uint8_t Byte()
    {
        return Empty() ? 0 : data_[pos_++];
    }

    uint32_t U32()
    {
        uint32_t v = 0;
        for (int i = 0; i < 4; i++)
            v = (v << 8) | Byte();
        return v;
    }

    /* A 32-bit number drawn, by a leading tag byte, from the edges of the
     * range, from small numbers either side of 0, from the 16-bit range or
     * from all of it: plain random bytes seldom give the small values where
     * the arithmetic has its cases. */
    int32_t Int32()
    {
        static const int32_t kEdges[] = {
            0,      1,       -1,    2, 100, 101, INT32_MAX, INT32_MIN, INT32_MAX - 1, INT32_MIN + 1,
            0x7FFF, -0x8000, 0xFFFF};
        switch (Byte() % 4)
        {
        case 0:
            return kEdges[Byte() % (sizeof(kEdges) / sizeof(kEdges[0]))];
        case 1:
            return (int32_t)Byte() - 8;
        case 2:
            return (int16_t)((Byte() << 8) | Byte());
        default:
            return (int32_t)U32();
        }
    }

    /* The bytes up to the next NUL or the end of the input: texts are
     * NUL-separated fields of the input. */
    std::string Text()
    {
        size_t start = pos_;
        while (pos_ < size_ && data_[pos_] != 0)
            pos_++;
        std::string text((const char *)data_ + start, pos_ - start);
        if (pos_ < size_)
            pos_++;
        return text;
    }

  private:
    const uint8_t *data_;
    size_t size_;
    size_t pos_ = 0;
};

/* A heap block of exactly `size` bytes, filled with a byte that is not NUL,
 * so that a missing closing NUL shows as well as an overrun. */
class ExactBuffer
{
  public:
    explicit ExactBuffer(size_t size) : size_(size), bytes_(new char[size])
    {
        memset(bytes_.get(), '#', size);
    }

    char *Data()
    {
        return bytes_.get();
    }

    size_t Size() const
    {
        return size_;
    }

    /* 1 when a NUL lies inside the block. */
    bool Terminated() const
    {
        return memchr(bytes_.get(), '\0', size_) != nullptr;
    }

  private:
    size_t size_;
    std::unique_ptr<char[]> bytes_;
};

/* A text in a heap block of exactly its length and its NUL, so that reading
 * past its end is caught too. */
class ExactText : public ExactBuffer
{
  public:
    explicit ExactText(const std::string &text) : ExactBuffer(text.size() + 1)
    {
        memcpy(Data(), text.c_str(), text.size() + 1);
    }
};

/* A buffer size near `needed` (the length of a result with its NUL), where
 * the fits-or-refuses decision lies, or any size up to 255. */
inline size_t SizeNear(FuzzInput &in, size_t needed)
{
    uint8_t tag = in.Byte();
    if (tag & 1)
        return in.Byte();
    size_t offset = tag >> 1 & 7;
    return needed + 4 > offset ? needed + 4 - offset : 0;
}

/* lstrcmpiA as far as ASCII goes, for the icon rules here and in their unit
 * tests; the Win32 tests check the rules with the platform's own comparison. */
inline int AsciiCompareIgnoringCase(const char *a, const char *b)
{
    for (;; ++a, ++b)
    {
        int ca = tolower((unsigned char)*a);
        int cb = tolower((unsigned char)*b);
        if (ca != cb || ca == 0)
            return ca - cb;
    }
}

/* A fuzz entry's finding: aborts, so libFuzzer and the unit tests both
 * report it with the stack of the broken check. */
#define FUZZ_CHECK(condition)                                                                      \
    do                                                                                             \
    {                                                                                              \
        if (!(condition))                                                                          \
            FuzzCheckFailed(#condition, __FILE__, __LINE__);                                       \
    } while (0)

[[noreturn]] inline void FuzzCheckFailed(const char *what, const char *file, int line)
{
    fprintf(stderr, "%s:%d: fuzz check failed: %s\n", file, line, what);
    abort();
}

/* A result written into `out`: a NUL inside it, and refused (left empty)
 * exactly when the `needed` bytes do not fit.  True when it was written. */
inline bool CheckBuilt(ExactBuffer &out, int fits, size_t needed)
{
    if (out.Size() == 0)
    {
        FUZZ_CHECK(!fits);
        return false;
    }
    FUZZ_CHECK(out.Terminated());
    FUZZ_CHECK(fits == (needed <= out.Size()));
    if (!fits)
        FUZZ_CHECK(out.Data()[0] == '\0');
    return fits;
}

#endif
