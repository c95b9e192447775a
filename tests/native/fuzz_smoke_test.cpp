/*
 * A deterministic run of the fuzz entries over random inputs, so every test
 * run exercises them under ASan and UBSan even without a fuzzing engine.
 */
#include <gtest/gtest.h>

#include <stdint.h>

#include <random>
#include <vector>

extern "C" int FuzzInfText(const uint8_t *data, size_t size);

// Hostile setup information texts (no NULs, no quotes, only commas, runs of
// "@", overlong values) must never be read or written out of bounds.
TEST(FuzzSmoke, InfTextOverRandomInputs)
{
    std::mt19937 rng(20261208);
    const char alphabet[] = {'"', ',', '@', '\0', ' ', 'A', 'b', '\\', '\t'};
    for (int round = 0; round < 20000; round++)
    {
        size_t size = rng() % (round % 10 == 0 ? 3000 : 80);
        std::vector<uint8_t> data(size);
        for (uint8_t &b : data)
            b = rng() % 4 ? (uint8_t)alphabet[rng() % sizeof(alphabet)] : (uint8_t)rng();
        FuzzInfText(data.data(), data.size());
    }
}
