/*
 * How many GDI objects this process holds, for the leak tests.
 *
 * Windows counts them in GetGuiResources(GR_GDIOBJECTS).  Wine 8.0 answers
 * 0 there whatever the process holds (seen: 0 before and after creating ten
 * brushes), so on Wine the count is taken from the process's GDI handle
 * table instead: Wine keeps it, as Windows does, at the PEB's
 * GdiSharedHandleTable (offset 0x94 in a 32-bit PEB), an array of 65536
 * 24-byte entries whose Type byte is nonzero while the handle is in use
 * (seen: +10 after ten CreateSolidBrush, back after DeleteObject).
 *
 * Neither way is trusted blindly: Calibrate() creates and deletes brushes,
 * pens, bitmaps and device contexts and checks that the count follows one
 * for one.  A test that cannot count reports itself skipped with the
 * reason.
 */
#ifndef SETUP_TEST_GDI_COUNT_H
#define SETUP_TEST_GDI_COUNT_H

#include <windows.h>

#include <string>

namespace gdicount
{

enum Method
{
    METHOD_NONE,
    METHOD_GUI_RESOURCES, /* GetGuiResources(GR_GDIOBJECTS) */
    METHOD_HANDLE_TABLE   /* the PEB's GDI handle table (Wine) */
};

/* Live GDI objects of this process by the given method; -1 when the method
 * cannot count here. */
long Count(Method method);

/* The first method whose count follows the creation and deletion of two
 * objects of each kind exactly, or METHOD_NONE with *why saying what was
 * seen. */
Method Calibrate(std::string *why);

const char *MethodName(Method method);

} // namespace gdicount

#endif
