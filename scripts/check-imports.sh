#!/bin/bash
# check-imports.sh OBJDUMP PROGRAM...
# Checks that each program is one that Windows 2000 and later will load: a
# PE32 i386 GUI program asking for subsystem and OS version 5.0 or lower,
# importing only system DLLs, and none of the functions that later systems
# added which toolchains are known to pull in (the runtime's thread support,
# for one, imports GetTickCount64 and the vectored exception calls).
set -u
objdump=$1
shift
# Only DLLs that are KnownDLLs (or, for the runtime's msvcrt, a KnownDLL's
# dependency) on every supported system; LZ32 and winspool are loaded by
# full path at start-up.
allowed_dlls='^(KERNEL32|USER32|GDI32|MSVCRT)(\.DLL)?$'
# Functions of kernel32 and msvcrt that Windows 2000 does not have.
later='GetTickCount64|AddVectoredExceptionHandler|RemoveVectoredExceptionHandler|'
later+='AddVectoredContinueHandler|InitializeConditionVariable|SleepConditionVariableCS|'
later+='SleepConditionVariableSRW|WakeConditionVariable|WakeAllConditionVariable|'
later+='InitializeSRWLock|AcquireSRWLockExclusive|AcquireSRWLockShared|ReleaseSRWLockExclusive|'
later+='ReleaseSRWLockShared|TryAcquireSRWLockExclusive|InitOnceExecuteOnce|'
later+='InitOnceBeginInitialize|GetModuleHandleExA|GetModuleHandleExW|FlsAlloc|FlsFree|'
later+='FlsGetValue|FlsSetValue|EncodePointer|DecodePointer|GetSystemTimePreciseAsFileTime|'
later+='CreateSymbolicLinkA|CreateSymbolicLinkW|GetLogicalProcessorInformation|'
later+='GetNativeSystemInfo|IsWow64Process|GetErrorMode|SetDllDirectoryA|SetDllDirectoryW|'
later+='AttachConsole|CancelIoEx|CreateEventExA|CreateEventExW|CreateMutexExW|CreateSemaphoreExW|'
later+='GetFileInformationByHandleEx|GetFinalPathNameByHandleW|QueryFullProcessImageNameA|'
later+='QueryFullProcessImageNameW|GetCurrentProcessorNumber|_vscprintf|_aligned_malloc|'
later+='_aligned_free|__iob_func|_get_output_format|_set_invalid_parameter_handler|sprintf_s|'
later+='_snprintf_s|_vsnprintf_s|strcpy_s|strcat_s|memcpy_s|strtok_s'
status=0
fail() {
    echo "$program: $*"
    status=1
    ok=0
}
for program in "$@"; do
    ok=1
    dump=$("$objdump" -p "$program") || { fail "cannot be read"; continue; }
    grep -q "file format pei-i386" <<<"$dump" || fail "not a PE32 i386 image"
    grep -qE "^Subsystem\s+00000002" <<<"$dump" || fail "not a GUI program"
    for field in MajorSubsystemVersion MajorOSystemVersion; do
        v=$(awk -v f=$field '$1 == f {print $2}' <<<"$dump")
        [ -n "$v" ] && [ "$v" -le 5 ] || fail "$field is ${v:-missing}, above 5"
    done
    dlls=$(awk '/DLL Name:/ {print toupper($3)}' <<<"$dump")
    for dll in $dlls; do
        grep -qE "$allowed_dlls" <<<"$dll" || fail "imports $dll, not a system DLL"
    done
    imported=$(awk '/DLL Name:/{d=1} d && NF >= 3 && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ {print $3}' <<<"$dump")
    bad=$(grep -xE "$later" <<<"$imported" | sort -u | tr '\n' ' ')
    [ -z "$bad" ] || fail "imports functions later than Windows 2000: $bad"
    [ $ok -eq 1 ] && echo "$program: loads on Windows 2000 and later ($(tr '\n' ' ' <<<"$dlls"))"
done
exit $status
