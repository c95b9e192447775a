#!/bin/bash
# static-analysis.sh [FILE...]: cppcheck and clang-tidy over the program code
# (app/ copy/ profile/ setupinfo/ spooler/ ui/), the Win32 files and the
# platform-free ones alike, each analysed as the programs build it: for
# 32-bit Windows, against the mingw-w64 headers.  Exits 1 on any finding and
# 77 (skipped) when a tool is missing.  The checks are set in .clang-tidy and
# .cppcheck-suppressions, which say why each one switched off is.  Run by
# scripts/test.sh as the native tree's test static_analysis.
set -u
cd "$(dirname "$0")/.."
skip() {
    echo "skipped: $*"
    exit 77
}
for tool in cppcheck clang-tidy i686-w64-mingw32-g++-win32; do
    command -v "$tool" >/dev/null || skip "$tool is not installed (run scripts/install-deps.sh)"
done
if [ $# -gt 0 ]; then
    files=("$@")
else
    files=(app/*.cpp copy/*.cpp profile/*.cpp setupinfo/*.cpp spooler/*.cpp ui/*.cpp)
fi
jobs=$(nproc)
start=$SECONDS
status=0
defines=(-DSETUP_PROFILE=g_profile_M270_en_win7 -DSETUP_LANG_EN)

echo "=== cppcheck (${#files[@]} files)"
# No system headers: the windows library tells cppcheck what the Win32 calls
# take and return, and reading the mingw-w64 headers would only slow it.
cppcheck -q -j"$jobs" --std=c++17 --language=c++ --library=windows -D_WIN32 "${defines[@]}" -I. \
    --enable=warning,style,performance,portability --suppressions-list=.cppcheck-suppressions \
    --error-exitcode=1 --template='{file}:{line}: {severity}: {message} [{id}]' "${files[@]}" 2>&1 ||
    status=1

echo "=== clang-tidy (${#files[@]} files)"
# The folders the programs' compiler searches for its C++ library and the
# mingw-w64 headers; clang brings its own intrinsics headers instead of gcc's.
mapfile -t system_dirs < <(i686-w64-mingw32-g++-win32 -xc++ -E -v - </dev/null 2>&1 |
    sed -n '/^#include <...> search starts here:/,/^End of search list/p' |
    grep -E '/c\+\+|/i686-w64-mingw32/include$' | sed 's/^ *//')
[ ${#system_dirs[@]} -ge 2 ] || { echo "cannot find the mingw-w64 include folders"; exit 1; }
args=(--target=i686-w64-mingw32 -std=c++17 -nostdlibinc -nostdinc++ -I. -Wall -Wextra "${defines[@]}")
for dir in "${system_dirs[@]}"; do
    args+=(-isystem "$dir")
done
# One clang-tidy per file, as many at once as there are cores; with
# WarningsAsErrors each finding makes its run fail.
printf '%s\0' "${files[@]}" |
    xargs -0 -P"$jobs" -I{} clang-tidy --quiet {} -- "${args[@]}" 2>&1 |
    grep -vE '^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$'
[ "${PIPESTATUS[1]}" -eq 0 ] || status=1

echo "static analysis: $([ $status -eq 0 ] && echo "no findings" || echo "FINDINGS above")" \
    "in ${#files[@]} files, $((SECONDS - start)) s"
exit $status
