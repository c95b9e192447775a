#!/usr/bin/env python3
"""nt4_imports.py OBJDUMP PROGRAM...

Fails when a program imports from kernel32 a function that Windows NT 4.0's
kernel32 lacks: NT 4.0's loader then refuses the whole program ("The
procedure entry point ... could not be located") before it can show its own
refusal of that system.  Wine cannot show this: its kernel32 exports every
function whatever Windows version it reports.

NT40_KERNEL32 is an allow-list: the functions the programs import today,
each a kernel32 export of the Win32 API as Windows NT 3.x already had it
and NT 4.0 kept.  Microsoft's pages now give "Windows 2000" as the minimum
supported client of every function older than that, so they cannot tell
an NT 4.0 function from one Windows 2000 added (CreateHardLinkA, which is
looked up at run time instead).  A function missing here is either later
than NT 4.0 (resolve it with ResolveKernel32Function) or one to add once
NT 4.0 is known to export it; the test names it either way.
"""
import re
import subprocess
import sys

NT40_KERNEL32 = {
    "CloseHandle", "CopyFileA", "CreateFileA", "CreateMutexA", "CreateSemaphoreW", "DeleteCriticalSection",
    "DeleteFileA", "EnterCriticalSection", "FindClose", "FindFirstFileA", "FindNextFileA",
    "FlushFileBuffers", "FreeLibrary", "GetCurrentProcess", "GetCurrentThreadId",
    "GetFileAttributesA", "GetFileTime", "GetLastError", "GetModuleFileNameA",
    "GetModuleHandleA", "GetModuleHandleW", "GetPrivateProfileStringA", "GetProcAddress",
    "GetProcessHeap", "GetStartupInfoA", "GetSystemDirectoryA", "GetVersionExA", "HeapAlloc",
    "HeapFree", "InitializeCriticalSection", "IsDBCSLeadByteEx", "LeaveCriticalSection",
    "LoadLibraryA", "LoadLibraryExA", "MoveFileExA", "MultiByteToWideChar", "ReleaseSemaphore",
    "SetErrorMode", "SetLastError", "SetUnhandledExceptionFilter", "Sleep", "TlsAlloc", "TlsFree",
    "TlsGetValue", "TlsSetValue", "VirtualProtect", "VirtualQuery", "WaitForSingleObject",
    "WideCharToMultiByte", "WriteProfileStringA", "lstrcmpA", "lstrcmpiA", "lstrlenA",
}

IMPORT_LINE = re.compile(r"^\s+[0-9a-f]+\s+\d+\s+(\S+)\s*$")


def imports(objdump, program):
    """The imported names of each DLL, from objdump's import tables."""
    dump = subprocess.run([objdump, "-p", program], capture_output=True, text=True, check=True)
    tables, dll = {}, None
    for line in dump.stdout.splitlines():
        if "DLL Name:" in line:
            dll = line.split("DLL Name:")[1].strip().upper()
            tables.setdefault(dll, set())
        elif dll and not line.strip():
            if tables[dll]:
                dll = None
        elif dll:
            match = IMPORT_LINE.match(line)
            if match:
                tables[dll].add(match.group(1))
    return tables


def main(argv):
    if len(argv) < 3:
        sys.exit(__doc__.strip().splitlines()[0])
    status = 0
    for program in argv[2:]:
        kernel32 = imports(argv[1], program).get("KERNEL32.DLL", set())
        later = sorted(kernel32 - NT40_KERNEL32)
        if not kernel32:
            print(f"FAIL {program}: no kernel32 imports found")
            status = 1
        elif later:
            print(f"FAIL {program}: imports from kernel32 what NT 4.0 lacks or the list does "
                  f"not know: {' '.join(later)}")
            status = 1
        else:
            print(f"{program}: {len(kernel32)} kernel32 functions, all in NT 4.0")
    return status


if __name__ == "__main__":
    sys.exit(main(sys.argv))
