/*
 * Looking up a function of a loaded module by name into a typed pointer:
 * the tables of LZ32 and the spooler, and the kernel32 functions later
 * Windows versions added.  A header of its own, so that the table loaders
 * need nothing of start-up.
 */
#ifndef SETUP_RESOLVE_FUNCTION_H
#define SETUP_RESOLVE_FUNCTION_H

#include <windows.h>

/* Looks up `name` in `module` and stores it in `*function`; 0 when the
 * module lacks it. */
template <typename Function>
int ResolveFunction(HMODULE module, const char *name, Function *function)
{
    FARPROC address = GetProcAddress(module, name);
    if (address == NULL)
        return 0;
    /* Through void * so that the compiler does not warn about the cast
     * between unrelated function types; GetProcAddress's contract. */
    *function = reinterpret_cast<Function>(reinterpret_cast<void *>(address));
    return 1;
}

/* ResolveFunction in kernel32, for the functions later Windows versions
 * added; 0 when this system's kernel32 lacks it. */
template <typename Function> int ResolveKernel32Function(const char *name, Function *function)
{
    HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
    return kernel32 != NULL && ResolveFunction(kernel32, name, function);
}

#endif
