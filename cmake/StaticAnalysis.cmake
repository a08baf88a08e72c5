# clang-tidy (the repository's .clang-tidy) and cppcheck on src/, as tests of the native build
# (tests/static). clang-tidy reads the compile commands of this build and, for the Win32 code,
# of the Windows build in SETUP_WIN_BUILD_DIR; both builds write them.
find_program(RUN_CLANG_TIDY NAMES run-clang-tidy-14 run-clang-tidy)
find_program(CPPCHECK cppcheck)
if(NOT RUN_CLANG_TIDY OR NOT CPPCHECK)
  message(WARNING "clang-tidy or cppcheck is missing: the static analysis tests are not run "
                  "(scripts/deps.sh installs them)")
  return()
endif()
add_test(NAME static_clang_tidy
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/static/clang_tidy.sh ${CMAKE_SOURCE_DIR}
    ${CMAKE_BINARY_DIR} ${SETUP_WIN_BUILD_DIR})
add_test(NAME static_cppcheck COMMAND bash ${CMAKE_SOURCE_DIR}/tests/static/cppcheck.sh
  ${CMAKE_SOURCE_DIR})
set_tests_properties(static_clang_tidy PROPERTIES PROCESSORS 2 TIMEOUT 900 LABELS static)
set_tests_properties(static_cppcheck PROPERTIES TIMEOUT 300 LABELS static)
