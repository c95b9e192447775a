/*
 * A deterministic run of every fuzz entry over random inputs, so every test
 * run exercises them under ASan and UBSan even without a fuzzing engine.
 * Each entry gets bytes mostly from an alphabet of the characters its input
 * turns on, so that short random inputs still reach its rules.
 */
#include <gtest/gtest.h>

#include <stdint.h>

#include <random>
#include <string>
#include <vector>

extern "C" int FuzzInfText(const uint8_t *data, size_t size);
extern "C" int FuzzCopyLogic(const uint8_t *data, size_t size);
extern "C" int FuzzUiLogic(const uint8_t *data, size_t size);
extern "C" int FuzzSequenceLogic(const uint8_t *data, size_t size);

namespace
{

struct FuzzEntry
{
    const char *name;
    int (*entry)(const uint8_t *data, size_t size);
    std::string alphabet;
};

void PrintTo(const FuzzEntry &fuzz, std::ostream *os)
{
    *os << fuzz.name;
}

class FuzzSmoke : public testing::TestWithParam<FuzzEntry>
{
};

// Hostile inputs (texts without NULs or quotes, runs of separators, extreme
// numbers, random page results) must never break an entry's checks or be
// read or written out of bounds.
TEST_P(FuzzSmoke, OverRandomInputs)
{
    const FuzzEntry &fuzz = GetParam();
    std::mt19937 rng(20261208);
    for (int round = 0; round < 20000; round++)
    {
        size_t size = rng() % (round % 10 == 0 ? 3000 : 80);
        std::vector<uint8_t> data(size);
        for (uint8_t &b : data)
            b = rng() % 4 ? (uint8_t)fuzz.alphabet[rng() % fuzz.alphabet.size()] : (uint8_t)rng();
        fuzz.entry(data.data(), data.size());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Entries, FuzzSmoke,
    testing::Values(FuzzEntry{"InfText", FuzzInfText, std::string("\",@\0 Ab\\\t", 9)},
                    FuzzEntry{"CopyLogic", FuzzCopyLogic, std::string("\\. :/_A1\0\x01\x02", 11)},
                    FuzzEntry{"UiLogic", FuzzUiLogic, std::string("LPTCOMFILE:\0\x01", 13)},
                    FuzzEntry{"SequenceLogic", FuzzSequenceLogic,
                              std::string("\0\x01\x02\x03\x04\x05\xFF", 7)}),
    [](const testing::TestParamInfo<FuzzEntry> &info) { return std::string(info.param.name); });

} // namespace
