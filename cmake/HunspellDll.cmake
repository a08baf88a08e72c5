# The add-on's spell-checking library: a 32-bit hunspell.dll cross-built from Debian's
# hunspell source package, plus hunspell_check.exe, a console program that loads the DLL
# the way a host does (LoadLibrary + GetProcAddress) and spell-checks a few words with it.
#
# Windows build only. Results:
#   target hunspell_dll    -> ${CMAKE_BINARY_DIR}/hunspell.dll
#   target hunspell_check  -> ${CMAKE_BINARY_DIR}/hunspell_check.exe
#   HUNSPELL_DLL_FILE      generator expression naming the DLL, for payload rules
#
# The DLL imports system DLLs only (libgcc and libstdc++ are linked in) and carries no time
# stamp, no debug information and no build path, so that two builds of the same source give
# the same bytes.

include_guard(GLOBAL)

if(NOT CMAKE_SYSTEM_NAME STREQUAL "Windows")
  message(FATAL_ERROR "HunspellDll.cmake builds a Windows DLL; use it in the Windows build")
endif()

# Where scripts/deps.sh unpacks `apt-get source hunspell`; the same override it honours.
if(DEFINED ENV{HUNSPELL_SRC_CACHE})
  set(_hunspell_src_cache "$ENV{HUNSPELL_SRC_CACHE}")
else()
  set(_hunspell_src_cache "/var/cache/veloquin-setup/hunspell-src")
endif()

if(NOT HUNSPELL_SOURCE_DIR)
  # Several unpacked versions may lie side by side after an upgrade; take the newest.
  file(GLOB _hunspell_candidates LIST_DIRECTORIES true "${_hunspell_src_cache}/hunspell-*")
  set(_hunspell_dirs "")
  foreach(_dir IN LISTS _hunspell_candidates)
    if(IS_DIRECTORY "${_dir}")
      list(APPEND _hunspell_dirs "${_dir}")
    endif()
  endforeach()
  if(_hunspell_dirs)
    list(SORT _hunspell_dirs COMPARE NATURAL)
    list(GET _hunspell_dirs -1 _hunspell_default)
  else()
    set(_hunspell_default "HUNSPELL_SOURCE_DIR-NOTFOUND")
  endif()
  set(HUNSPELL_SOURCE_DIR "${_hunspell_default}"
      CACHE PATH "Unpacked Debian hunspell source tree (from `apt-get source hunspell`)" FORCE)
endif()

set(_hunspell_lib_dir "${HUNSPELL_SOURCE_DIR}/src/hunspell")
if(NOT EXISTS "${_hunspell_lib_dir}/hunspell.h")
  message(FATAL_ERROR
    "No hunspell source found (HUNSPELL_SOURCE_DIR='${HUNSPELL_SOURCE_DIR}'). "
    "Run scripts/deps.sh, which unpacks Debian's hunspell source into "
    "${_hunspell_src_cache}/, or point -DHUNSPELL_SOURCE_DIR at an unpacked hunspell tree.")
endif()

# The library proper: everything in src/hunspell, none of the tools, parsers or tests.
file(GLOB _hunspell_sources CONFIGURE_DEPENDS "${_hunspell_lib_dir}/*.cxx")
list(SORT _hunspell_sources)

# hunvisapi.h is made by configure in an autotools build. Release tarballs carry a generated
# copy, and the sources include it with quotes, so that copy wins when present; this one
# covers trees that only have the template. On Windows the header picks
# __declspec(dllexport) from BUILDING_LIBHUNSPELL, so HAVE_VISIBILITY plays no part.
set(_hunspell_gen_dir "${CMAKE_BINARY_DIR}/hunspell-generated")
if(EXISTS "${_hunspell_lib_dir}/hunvisapi.h.in")
  set(HAVE_VISIBILITY 0)
  configure_file("${_hunspell_lib_dir}/hunvisapi.h.in" "${_hunspell_gen_dir}/hunvisapi.h" @ONLY)
  unset(HAVE_VISIBILITY)
endif()

add_library(hunspell_dll SHARED ${_hunspell_sources})
set_target_properties(hunspell_dll PROPERTIES
  OUTPUT_NAME hunspell
  PREFIX ""
  SUFFIX ".dll"
  RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}"
  ARCHIVE_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/hunspell-lib"
  # Hunspell 1.7 is written for C++11; the project's newer standard is not needed here.
  CXX_STANDARD 17
  CXX_STANDARD_REQUIRED ON
  CXX_EXTENSIONS OFF)
target_include_directories(hunspell_dll PRIVATE "${_hunspell_lib_dir}" "${_hunspell_gen_dir}")
# NDEBUG whatever the build type: the DLL runs inside the host word processor, where a
# failed assert() would abort the host with the user's document unsaved, and the same
# sources must give the same DLL in every build configuration.
target_compile_definitions(hunspell_dll PRIVATE BUILDING_LIBHUNSPELL NDEBUG)
target_compile_options(hunspell_dll PRIVATE
  -O2
  # Third-party code: its warnings are not ours to fix, and must not break a -Werror build.
  -w
  # Keep the build machine's paths out of the binary should any __FILE__ or debug
  # information find its way in.
  "-ffile-prefix-map=${HUNSPELL_SOURCE_DIR}=hunspell"
  "-ffile-prefix-map=${CMAKE_BINARY_DIR}=build")
target_link_options(hunspell_dll PRIVATE
  -static-libgcc
  -static-libstdc++
  # Also pulls in any other runtime archive (winpthread with a posix-threads compiler)
  # instead of its DLL; Windows' own import libraries are archives too and are unaffected.
  -static
  # Only what hunspell's headers mark for export, never symbols of the static runtimes.
  -Wl,--exclude-libs,ALL
  -Wl,--no-insert-timestamp
  -s)

set(HUNSPELL_DLL_FILE "$<TARGET_FILE:hunspell_dll>")

# The checker is plain C and loads the DLL at run time; it does not link against it.
enable_language(C)
add_executable(hunspell_check "${CMAKE_CURRENT_LIST_DIR}/../tests/e2e/hunspell_check.c")
set_target_properties(hunspell_check PROPERTIES
  OUTPUT_NAME hunspell_check
  RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}"
  C_STANDARD 11
  C_STANDARD_REQUIRED ON)
target_compile_options(hunspell_check PRIVATE -O2 -Wall -Wextra)
target_link_options(hunspell_check PRIVATE -static-libgcc -static -Wl,--no-insert-timestamp -s)
add_dependencies(hunspell_check hunspell_dll)
