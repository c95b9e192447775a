/*
 * Counting this process's GDI objects (see gdi_count.h).
 */
#include "gdi_count.h"

#include <stdint.h>

namespace gdicount
{

namespace
{

/* Wine's GDI_HANDLE_ENTRY (include/ntgdi.h), 24 bytes. */
#pragma pack(push, 1)
struct HandleEntry
{
    uint64_t object;
    uint32_t owner;
    uint16_t unique;
    uint8_t type; /* 0 while the entry is free */
    uint8_t flags;
    uint64_t userPointer;
};
#pragma pack(pop)
static_assert(sizeof(HandleEntry) == 24, "Wine's handle entry is 24 bytes");

const size_t kTableEntries = 0x10000;
const size_t kPebHandleTableOffset = 0x94; /* GdiSharedHandleTable, 32-bit PEB */

const HandleEntry *HandleTable()
{
    /* The PEB of this 32-bit process, from its TEB at fs:0x30.  (NtCurrentTeb
     * from mingw-w64's headers draws a false -Warray-bounds from GCC 12.) */
    const BYTE *peb = NULL;
    __asm__("movl %%fs:0x30, %0" : "=r"(peb));
    if (peb == NULL)
        return NULL;
    const HandleEntry *table = *(const HandleEntry *const *)(peb + kPebHandleTableOffset);
    if (table == NULL)
        return NULL;
    /* The whole table must be committed, readable memory before it is read;
     * on a system whose table is laid out otherwise, the calibration then
     * rejects the count. */
    const BYTE *p = (const BYTE *)table;
    const BYTE *end = p + kTableEntries * sizeof(HandleEntry);
    while (p < end)
    {
        MEMORY_BASIC_INFORMATION info;
        if (VirtualQuery(p, &info, sizeof(info)) != sizeof(info) || info.State != MEM_COMMIT ||
            (info.Protect & (PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY)) == 0 ||
            (info.Protect & PAGE_GUARD) != 0)
            return NULL;
        p = (const BYTE *)info.BaseAddress + info.RegionSize;
    }
    return table;
}

long CountHandleTable()
{
    const HandleEntry *table = HandleTable();
    if (table == NULL)
        return -1;
    long used = 0;
    for (size_t i = 0; i < kTableEntries; ++i)
        if (table[i].type != 0)
            ++used;
    return used;
}

long CountGuiResources()
{
    SetLastError(0xdeadbeef);
    DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    /* A process that can draw holds at least its stock objects, so 0 means
     * the call does not count. */
    return count == 0 ? -1 : (long)count;
}

} // namespace

long Count(Method method)
{
    switch (method)
    {
    case METHOD_GUI_RESOURCES:
        return CountGuiResources();
    case METHOD_HANDLE_TABLE:
        return CountHandleTable();
    default:
        return -1;
    }
}

const char *MethodName(Method method)
{
    switch (method)
    {
    case METHOD_GUI_RESOURCES:
        return "GetGuiResources(GR_GDIOBJECTS)";
    case METHOD_HANDLE_TABLE:
        return "the PEB's GDI handle table";
    default:
        return "none";
    }
}

Method Calibrate(std::string *why)
{
    std::string seen;
    for (Method method : {METHOD_GUI_RESOURCES, METHOD_HANDLE_TABLE})
    {
        long before = Count(method);
        /* Two objects of each kind the drawing code may create. */
        HDC screen = GetDC(NULL);
        HGDIOBJ objects[6];
        HDC dcs[2];
        for (int i = 0; i < 2; ++i)
        {
            objects[3 * i] = CreateSolidBrush(RGB(i, 2, 3));
            objects[3 * i + 1] = CreatePen(PS_SOLID, 1, RGB(i, 5, 6));
            objects[3 * i + 2] = CreateCompatibleBitmap(screen, 4, 4);
            dcs[i] = CreateCompatibleDC(screen);
        }
        ReleaseDC(NULL, screen);
        long during = Count(method);
        long made = 0;
        for (HGDIOBJ o : objects)
            made += DeleteObject(o) != 0;
        for (HDC dc : dcs)
            made += DeleteDC(dc) != 0;
        long after = Count(method);
        if (before >= 0 && made == 8 && during == before + made && after == before)
            return method;
        seen += std::string(MethodName(method)) + ": " + std::to_string(before) + " before, " +
                std::to_string(during) + " with " + std::to_string(made) + " more objects, " +
                std::to_string(after) + " after deleting them; ";
    }
    if (why != NULL)
        *why = "no way to count GDI objects here (" + seen + ")";
    return METHOD_NONE;
}

} // namespace gdicount
