# The setup's end-to-end scenarios under Wine (native build; needs tests/e2e/wine_tests.cmake
# for add_wine_scenario and SETUP_WIN_BUILD_DIR for the Windows build). Each scenario runs
# the real setup.exe in a fresh prefix staged by its set-up script; the helpers e2edrive.exe
# and e2ehold.exe come from tests/e2e/suite/CMakeLists.txt in the Windows build.
#
# The wizard makes a page's windows when the page is first shown, and a new window comes
# first in the z order. So a page's controls do not exist before it was shown once (the
# scripts look only at controls of pages already seen), and `class:Edit` is the licence
# text on page 1 and the home-folder edit box from page 2 on.
if(NOT COMMAND add_wine_scenario)
  return()
endif()

set(_suite ${CMAKE_CURRENT_LIST_DIR})

# The sizes of the payload's files whose sources exist when the build is configured, for the
# scenarios' expect-file checks: SIZE_<entry name with _ for every sign>.
set(_suite_sizes)
file(STRINGS ${CMAKE_SOURCE_DIR}/resources/payload/files.list _suite_listing)
foreach(_line IN LISTS _suite_listing)
  if(_line MATCHES "^([^#\t][^\t]*)\t+[^\t]+\t+([^\t]+)$")
    set(_entry ${CMAKE_MATCH_1})
    set(_source ${CMAKE_MATCH_2})
    cmake_path(ABSOLUTE_PATH _source BASE_DIRECTORY ${CMAKE_SOURCE_DIR}/resources/payload)
    if(EXISTS ${_source})
      file(SIZE ${_source} _size)
      string(MAKE_C_IDENTIFIER "${_entry}" _id)
      list(APPEND _suite_sizes "SIZE_${_id}=${_size}")
    endif()
  endif()
endforeach()

# The drive tool proves itself: a drive defined at run time is seen with its type and its
# files, and is gone again after removal.
add_test(NAME wine.suite.drive_tool
  COMMAND bash ${_suite}/drive_selftest.sh ${SETUP_WIN_BUILD_DIR} ${E2E_TEMPLATE_DIR}
    ${E2E_RUNS_DIR}/suite.drive_tool)
set_tests_properties(wine.suite.drive_tool PROPERTIES
  FIXTURES_REQUIRED wine_template TIMEOUT 120 LABELS wine)

add_wine_scenario(NAME suite.install_normal SCRIPT ${_suite}/install_normal.e2e
  SETUP ${_suite}/stage_host.sh ENV ${_suite_sizes})
add_wine_scenario(NAME suite.install_portable SCRIPT ${_suite}/install_portable.e2e
  SETUP ${_suite}/stage_portable.sh ENV ${_suite_sizes})
add_wine_scenario(NAME suite.host_running SCRIPT ${_suite}/host_running.e2e
  SETUP ${_suite}/stage_host.sh)
add_wine_scenario(NAME suite.licence_refused SCRIPT ${_suite}/licence_refused.e2e
  SETUP ${_suite}/stage_host.sh)
add_wine_scenario(NAME suite.folder_and_cancel SCRIPT ${_suite}/folder_and_cancel.e2e
  SETUP ${_suite}/stage_folders.sh)
add_wine_scenario(NAME suite.finish_close_box SCRIPT ${_suite}/finish_close_box.e2e
  SETUP ${_suite}/stage_host.sh)
add_wine_scenario(NAME suite.locked_retry SCRIPT ${_suite}/locked_retry.e2e
  SETUP ${_suite}/stage_host.sh ENV ${_suite_sizes})
add_wine_scenario(NAME suite.locked_abort SCRIPT ${_suite}/locked_abort.e2e
  SETUP ${_suite}/stage_host.sh)
add_wine_scenario(NAME suite.command_line SCRIPT ${_suite}/command_line.e2e
  SETUP ${_suite}/stage_command_line.sh)
add_wine_scenario(NAME suite.bulgarian_normal SCRIPT ${_suite}/bulgarian_normal.e2e
  SETUP ${_suite}/stage_bulgarian.sh LOCALE bg)
add_wine_scenario(NAME suite.bulgarian_portable SCRIPT ${_suite}/bulgarian_portable.e2e
  SETUP ${_suite}/stage_bulgarian.sh LOCALE bg ENV ${_suite_sizes})
add_wine_scenario(NAME suite.drive_watch SCRIPT ${_suite}/drive_watch.e2e
  SETUP ${_suite}/stage_drive_watch.sh)
add_wine_scenario(NAME suite.addon_works SCRIPT ${_suite}/addon_works.e2e
  SETUP ${_suite}/stage_host.sh)
add_wine_scenario(NAME suite.session_end SCRIPT ${_suite}/session_end.e2e
  SETUP ${_suite}/stage_host.sh)
