/*
 * The spooler's enumerations asked the way Windows wants them: a first call
 * with no buffer for the size, then a second into a buffer of that size.
 * Shared by the Win32 and end-to-end tests.
 */
#ifndef SETUP_TEST_SPOOLER_ENUM_H
#define SETUP_TEST_SPOOLER_ENUM_H

#include <windows.h>

#include <vector>

namespace spoolenum
{

/* The records of one enumeration, T each; they point into `buffer`.  No
 * records when either call fails. */
template <typename T> struct Records
{
    std::vector<BYTE> buffer;
    DWORD count = 0;
    const T *begin() const
    {
        return (const T *)buffer.data();
    }
    const T *end() const
    {
        return begin() + count;
    }
};

/* `call(buffer, size, &needed, &count)` is the Enum call itself. */
template <typename T, typename Call> Records<T> Enumerate(Call call)
{
    Records<T> records;
    DWORD needed = 0;
    call(NULL, 0, &needed, &records.count);
    records.buffer.resize(needed + 1);
    if (needed == 0 || !call(records.buffer.data(), needed, &needed, &records.count))
        records.count = 0;
    return records;
}

/* The local spooler's drivers of `environment` at `level` (T its
 * DRIVER_INFO_<level>A). */
template <typename T> Records<T> Drivers(const char *environment, DWORD level)
{
    return Enumerate<T>(
        [&](BYTE *buffer, DWORD size, DWORD *needed, DWORD *count) {
            return EnumPrinterDriversA(NULL, (LPSTR)environment, level, buffer, size, needed,
                                       count);
        });
}

/* The local printers at `level` (T its PRINTER_INFO_<level>A). */
template <typename T> Records<T> LocalPrinters(DWORD level)
{
    return Enumerate<T>(
        [&](BYTE *buffer, DWORD size, DWORD *needed, DWORD *count)
        { return EnumPrintersA(PRINTER_ENUM_LOCAL, NULL, level, buffer, size, needed, count); });
}

} // namespace spoolenum

#endif
