# Authenticode signing with osslsigncode. A real certificate is used when SIGN_CERT (PEM or
# SPC), SIGN_KEY (PEM key) and optionally SIGN_PASS_FILE are given; otherwise a test
# certificate is made once in the build folder.
set(SIGN_CERT "" CACHE FILEPATH "Signing certificate (PEM); empty for a test certificate")
set(SIGN_KEY "" CACHE FILEPATH "Private key of the signing certificate (PEM)")
set(SIGN_PASS_FILE "" CACHE FILEPATH "File holding the key's password, if it has one")

function(sign_executable)
  cmake_parse_arguments(S "" "TARGET;INPUT;OUTPUT" "DEPENDS" ${ARGN})
  add_custom_command(OUTPUT ${S_OUTPUT}
    COMMAND ${CMAKE_COMMAND} -E env
      SIGN_CERT=${SIGN_CERT} SIGN_KEY=${SIGN_KEY} SIGN_PASS_FILE=${SIGN_PASS_FILE}
      SIGN_WORK_DIR=${CMAKE_BINARY_DIR}/signing
      bash ${CMAKE_SOURCE_DIR}/scripts/sign.sh ${S_INPUT} ${S_OUTPUT}
    DEPENDS ${S_DEPENDS} ${S_INPUT} ${CMAKE_SOURCE_DIR}/scripts/sign.sh
    COMMENT "Signing ${S_OUTPUT}"
    VERBATIM)
  add_custom_target(${S_TARGET} ALL DEPENDS ${S_OUTPUT})
endfunction()
