# The contract suite against the real machine: contract_tests.exe of the Windows build run
# under Wine, once in Wine's default locale and once in the Bulgarian one, whose ANSI code
# page is 1251. And the same suite against the simulated machine switched to code page 1251
# (the default run of unit_tests covers 1252).
#
# The Windows build folder is SETUP_WIN_BUILD_DIR, else the "win" folder beside this native
# build. Without contract_tests.exe there the Wine tests are skipped, never passed.

set(_contract_win_dir "${SETUP_WIN_BUILD_DIR}")
if(NOT _contract_win_dir)
  get_filename_component(_contract_win_dir "${CMAKE_BINARY_DIR}/../win" ABSOLUTE)
endif()
set(_contract_exe "${_contract_win_dir}/contract_tests.exe")
set(_contract_prefixes "${CMAKE_BINARY_DIR}/wine")

add_test(NAME contract_wine
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/run_wine.sh ${_contract_exe}
          ${_contract_prefixes}/contract)
add_test(NAME contract_wine_bg
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/run_wine.sh ${_contract_exe}
          ${_contract_prefixes}/contract-bg bg_BG.UTF-8 Europe/Sofia 1251)
set_tests_properties(contract_wine contract_wine_bg PROPERTIES
  SKIP_RETURN_CODE 77
  TIMEOUT 300
  LABELS "wine;contract")

add_test(NAME contract_sim_1251 COMMAND unit_tests --gtest_filter=*Contract.*)
set_tests_properties(contract_sim_1251 PROPERTIES
  ENVIRONMENT "CONTRACT_CODE_PAGE=1251;CONTRACT_EXPECT_CODE_PAGE=1251"
  TIMEOUT 60
  LABELS "contract")
