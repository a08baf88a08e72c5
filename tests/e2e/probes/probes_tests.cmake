# The probes under Wine (native build; SETUP_WIN_BUILD_DIR is the Windows build).
set(_probes_dir ${CMAKE_CURRENT_LIST_DIR})
foreach(zone "" Europe/Sofia)
  if(zone)
    set(_name payload_extraction_wine_summer_time)
  else()
    set(_name payload_extraction_wine)
  endif()
  add_test(NAME ${_name}
    COMMAND bash ${_probes_dir}/run_extract_check.sh ${SETUP_WIN_BUILD_DIR}
      ${CMAKE_BINARY_DIR}/wine/template ${CMAKE_BINARY_DIR}/probes/${_name}
      ${CMAKE_SOURCE_DIR}/resources/payload/files.list ${zone})
  set_tests_properties(${_name} PROPERTIES FIXTURES_REQUIRED wine_template TIMEOUT 300 LABELS wine)
endforeach()

add_test(NAME payload_extraction_wine_bulgarian
  COMMAND bash ${_probes_dir}/run_extract_check.sh ${SETUP_WIN_BUILD_DIR}
    ${CMAKE_BINARY_DIR}/wine/template ${CMAKE_BINARY_DIR}/probes/payload_extraction_wine_bulgarian
    ${CMAKE_SOURCE_DIR}/resources/payload/files.list Europe/Sofia bg)
set_tests_properties(payload_extraction_wine_bulgarian PROPERTIES
  FIXTURES_REQUIRED wine_template TIMEOUT 300 LABELS wine)

add_wine_scenario(NAME message_boxes SCRIPT ${_probes_dir}/message_boxes.e2e)
