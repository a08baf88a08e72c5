# Checks of the built setup.exe (native build; SETUP_WIN_BUILD_DIR is the Windows build).
set(_setup_exe ${SETUP_WIN_BUILD_DIR}/setup.exe)
set(_release_dir ${CMAKE_CURRENT_LIST_DIR})

add_test(NAME setup_resources COMMAND bash ${_release_dir}/check_resources.sh ${_setup_exe})
add_test(NAME setup_payload_stream COMMAND bash ${_release_dir}/check_payload_stream.sh ${_setup_exe})
add_test(NAME setup_signature
  COMMAND osslsigncode verify -in ${_setup_exe}
          -CAfile ${SETUP_WIN_BUILD_DIR}/signing/test-cert.pem)
# setup.exe runs elevated from wherever it was saved, often a downloads folder. A DLL it
# imports is looked for in that folder first unless it is one of the system's known DLLs,
# which always come from the system folder; and the imports are loaded before the program
# can restrict its DLL search. So it may import known DLLs only: those that Windows 7 to 11
# all list under Session Manager\KnownDLLs. Any other library is loaded from the system
# folder at run time (LoadSystemLibrary).
add_test(NAME setup_imports COMMAND bash ${CMAKE_SOURCE_DIR}/tests/e2e/check_imports.sh
  ${SETUP_WIN_BUILD_DIR}/setup-unsigned.exe
  advapi32.dll clbcatq.dll comdlg32.dll gdi32.dll imagehlp.dll imm32.dll kernel32.dll
  msctf.dll msvcrt.dll normaliz.dll nsi.dll ole32.dll oleaut32.dll psapi.dll rpcrt4.dll
  sechost.dll setupapi.dll shell32.dll shlwapi.dll user32.dll wldap32.dll ws2_32.dll)
add_test(NAME artwork_matches_generator
  COMMAND python3 ${CMAKE_SOURCE_DIR}/tools/art/make_art.py --check ${CMAKE_SOURCE_DIR})
# Two builds of the same tree, in different folders, give the same unsigned setup.exe.
add_test(NAME setup_reproducible
  COMMAND bash ${_release_dir}/check_reproducible.sh ${CMAKE_SOURCE_DIR} ${SETUP_WIN_BUILD_DIR}
    $<TARGET_FILE:payload_builder> ${CMAKE_BINARY_DIR}/reproducible)
set_tests_properties(setup_reproducible PROPERTIES TIMEOUT 1200 PROCESSORS 2)
