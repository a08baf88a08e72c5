# Tests of the Windows build's hunspell.dll, run from the native build: what the DLL
# imports, and that it spell-checks Bulgarian when a Windows program loads it under Wine.
#
# Needs SETUP_WIN_BUILD_DIR: the Windows build directory, where cmake/HunspellDll.cmake
# puts hunspell.dll and hunspell_check.exe.

if(NOT SETUP_WIN_BUILD_DIR)
  return()
endif()

get_filename_component(_hunspell_win_dir "${SETUP_WIN_BUILD_DIR}" ABSOLUTE
                       BASE_DIR "${CMAKE_SOURCE_DIR}")
get_filename_component(_hunspell_repo "${CMAKE_CURRENT_LIST_DIR}/../.." ABSOLUTE)
set(_hunspell_dll "${_hunspell_win_dir}/hunspell.dll")
set(_hunspell_check_exe "${_hunspell_win_dir}/hunspell_check.exe")
set(_check_imports "${CMAKE_CURRENT_LIST_DIR}/check_imports.sh")

# The DLL goes onto machines that have nothing but Windows: the C and C++ runtimes must be
# linked in, leaving only the system's own DLLs.
add_test(NAME hunspell_dll_imports
         COMMAND "${_check_imports}" "${_hunspell_dll}" KERNEL32.dll msvcrt.dll)

# The import check itself must catch an import that is not listed (and must match names
# without regard to case), or the test above proves nothing.
add_test(NAME check_imports_rejects_unlisted_dll
         COMMAND sh -c [=[
out=$("$0" "$1" kernel32.dll 2>&1); rc=$?
printf '%s\n' "$out"
[ "$rc" -eq 1 ] || { echo "expected exit code 1, got $rc"; exit 1; }
printf '%s\n' "$out" | grep -q 'imports msvcrt.dll, which is not allowed' ||
  { echo "msvcrt.dll was not reported"; exit 1; }
if printf '%s\n' "$out" | grep -qi 'imports kernel32.dll, which'; then
  echo "KERNEL32.dll was reported though kernel32.dll is allowed"; exit 1
fi
]=] "${_check_imports}" "${_hunspell_dll}")

# Loads the DLL in a Windows program under Wine and spell-checks with Debian's Bulgarian
# dictionary. The private prefix is made on the first run, which takes a while.
add_test(NAME hunspell_dll_works
         COMMAND "${_hunspell_repo}/tools/hunspell/wine_check.sh"
                 "${CMAKE_BINARY_DIR}/hunspell-wine-prefix"
                 "${_hunspell_check_exe}" "${_hunspell_dll}"
                 /usr/share/hunspell/bg_BG.aff /usr/share/hunspell/bg_BG.dic)
set_tests_properties(hunspell_dll_works PROPERTIES
  TIMEOUT 300
  SKIP_RETURN_CODE 77
  LABELS wine)
