# Checks of the built setup.exe (native build; SETUP_WIN_BUILD_DIR is the Windows build).
set(_setup_exe ${SETUP_WIN_BUILD_DIR}/setup.exe)
set(_release_dir ${CMAKE_CURRENT_LIST_DIR})

add_test(NAME setup_resources COMMAND bash ${_release_dir}/check_resources.sh ${_setup_exe})
add_test(NAME setup_payload_stream COMMAND bash ${_release_dir}/check_payload_stream.sh ${_setup_exe})
add_test(NAME setup_signature
  COMMAND osslsigncode verify -in ${_setup_exe}
          -CAfile ${SETUP_WIN_BUILD_DIR}/signing/test-cert.pem)
add_test(NAME setup_imports COMMAND bash ${CMAKE_SOURCE_DIR}/tests/e2e/check_imports.sh
  ${SETUP_WIN_BUILD_DIR}/setup-unsigned.exe
  KERNEL32.dll USER32.dll GDI32.dll COMCTL32.dll ole32.dll ADVAPI32.dll MPR.dll msvcrt.dll)
add_test(NAME artwork_matches_generator
  COMMAND python3 ${CMAKE_SOURCE_DIR}/tools/art/make_art.py --check ${CMAKE_SOURCE_DIR})
