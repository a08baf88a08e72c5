# Wine end-to-end tests, included by the native build. SETUP_WIN_BUILD_DIR names the
# Windows build whose programs run under Wine: its e2e/e2edriver.exe drives them,
# its e2e/e2esample.exe proves the harness, its setup.exe is the program under test.
#
#   add_wine_scenario(NAME <name> SCRIPT <file.e2e>
#                     [SETUP <set-up.sh>] [TIMEOUT <seconds>] [LOCALE bg|<locale>]
#                     [EXPECT_FAILURE <regex>...] [ENV NAME=VALUE...])
#
# registers the CTest test wine.<name>. Each run gets a fresh copy of one template prefix,
# its own wineserver and its own X display, so the tests can run in parallel; the run's
# log, screenshots (PNG) and, after a failure, its prefix are kept in
# <native build>/e2e/<name>/. Relative SCRIPT and SETUP paths are taken from the calling
# file's folder. EXPECT_FAILURE turns the test round: it passes only when the driver reports
# a failure and every regex matches a line of its log.
#
# Environment: E2E_KEEP_PREFIX=1 keeps the prefix of passing runs too;
# E2E_PREFIX_COPY=full copies the template instead of linking Wine's own binaries.

if(NOT SETUP_WIN_BUILD_DIR)
  message(FATAL_ERROR "wine_tests.cmake needs SETUP_WIN_BUILD_DIR (the Windows build folder)")
endif()

set(E2E_SCRIPTS_DIR ${CMAKE_CURRENT_LIST_DIR}/../../scripts/wine)
cmake_path(NORMAL_PATH E2E_SCRIPTS_DIR)
set(E2E_RUNS_DIR ${CMAKE_BINARY_DIR}/e2e)
set(E2E_TEMPLATE_DIR ${CMAKE_BINARY_DIR}/wine/template)

# The template prefix is made once (about 15 s) and kept until Wine changes; every
# scenario needs it, so none starts before it is there.
add_test(NAME wine.template
  COMMAND bash ${E2E_SCRIPTS_DIR}/make-template.sh ${E2E_TEMPLATE_DIR})
set_tests_properties(wine.template PROPERTIES
  FIXTURES_SETUP wine_template TIMEOUT 600 LABELS wine)

function(add_wine_scenario)
  cmake_parse_arguments(PARSE_ARGV 0 S "" "NAME;SCRIPT;SETUP;TIMEOUT;LOCALE"
    "EXPECT_FAILURE;ENV")
  if(NOT S_NAME OR NOT S_SCRIPT)
    message(FATAL_ERROR "add_wine_scenario needs NAME and SCRIPT")
  endif()
  if(S_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "add_wine_scenario(${S_NAME}): unknown arguments ${S_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT S_TIMEOUT)
    set(S_TIMEOUT 60)
  endif()
  cmake_path(ABSOLUTE_PATH S_SCRIPT BASE_DIRECTORY ${CMAKE_CURRENT_LIST_DIR})
  if(NOT EXISTS ${S_SCRIPT})
    message(FATAL_ERROR "add_wine_scenario(${S_NAME}): no script ${S_SCRIPT}")
  endif()
  set(args
    --script ${S_SCRIPT}
    --win-build ${SETUP_WIN_BUILD_DIR}
    --template ${E2E_TEMPLATE_DIR}
    --out ${E2E_RUNS_DIR}/${S_NAME}
    --timeout ${S_TIMEOUT})
  if(S_SETUP)
    cmake_path(ABSOLUTE_PATH S_SETUP BASE_DIRECTORY ${CMAKE_CURRENT_LIST_DIR})
    list(APPEND args --setup ${S_SETUP})
  endif()
  if(S_LOCALE)
    list(APPEND args --locale ${S_LOCALE})
  endif()
  foreach(re IN LISTS S_EXPECT_FAILURE)
    list(APPEND args --expect-failure ${re})
  endforeach()
  foreach(kv IN LISTS S_ENV)
    list(APPEND args --env ${kv})
  endforeach()
  add_test(NAME wine.${S_NAME} COMMAND bash ${E2E_SCRIPTS_DIR}/run-scenario.sh ${args})
  # The run stops itself after TIMEOUT and then cleans up; CTest's limit is only a backstop.
  math(EXPR ctest_timeout "${S_TIMEOUT} + 60")
  set_tests_properties(wine.${S_NAME} PROPERTIES
    FIXTURES_REQUIRED wine_template TIMEOUT ${ctest_timeout} LABELS wine)
endfunction()

# The harness proves itself on the sample program.
set(_e2e_scenarios ${CMAKE_CURRENT_LIST_DIR}/scenarios)
add_wine_scenario(NAME sample.dialogs SCRIPT ${_e2e_scenarios}/sample_dialogs.e2e)
add_wine_scenario(NAME sample.controls SCRIPT ${_e2e_scenarios}/sample_controls.e2e)
add_wine_scenario(NAME sample.staging SCRIPT ${_e2e_scenarios}/sample_staging.e2e
  SETUP ${_e2e_scenarios}/sample_staging.sh LOCALE bg)
add_wine_scenario(NAME sample.failure_report SCRIPT ${_e2e_scenarios}/sample_failure.e2e
  EXPECT_FAILURE
    "^FAIL at line [0-9]+: click &Boxes"
    "control '&Boxes' is disabled"
    "^  0x[0-9a-f]+ E2ESampleWindow \"E2E Sample\""
    "^program: still running"
    "^screen saved as failure.bmp")
add_wine_scenario(NAME sample.script_errors SCRIPT ${_e2e_scenarios}/sample_bad_script.e2e
  EXPECT_FAILURE
    "^script error at line 4: unknown command 'wait-windw'"
    "^script error at line 5: unknown option 'titel' for wait-window"
    "^script error at line 6: environment variable E2E_NO_SUCH_VARIABLE is not set"
    "^script error at line 7: unterminated double quote")

# The harness itself must fail, and say why, when Wine or the display cannot run.
add_test(NAME wine.harness_fails_loudly
  COMMAND bash ${_e2e_scenarios}/harness_fails_loudly.sh ${E2E_SCRIPTS_DIR}
    ${E2E_TEMPLATE_DIR} ${E2E_RUNS_DIR}/harness_fails_loudly ${SETUP_WIN_BUILD_DIR})
set_tests_properties(wine.harness_fails_loudly PROPERTIES
  FIXTURES_REQUIRED wine_template TIMEOUT 120 LABELS wine)

include(${CMAKE_CURRENT_LIST_DIR}/setup_scenarios.cmake OPTIONAL)
