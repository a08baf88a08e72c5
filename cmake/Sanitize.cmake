# SETUP_SANITIZE: a native build with clang's AddressSanitizer and UndefinedBehaviorSanitizer,
# in which `make test` runs the unit tests again, and in which the fuzz targets are built
# (their libraries carry libFuzzer's coverage hooks; only the fuzz programs link libFuzzer).
#
# Every sanitizer report ends the program (-fno-sanitize-recover), so a test that provokes
# one fails. -O1 keeps the build and the tests quick; line tables name the place of a report.

option(SETUP_SANITIZE "Build natively with AddressSanitizer, UBSan and the fuzz targets" OFF)

if(SETUP_SANITIZE)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "SETUP_SANITIZE needs clang (libFuzzer): configure with "
                        "-DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14")
  endif()
  set(CMAKE_BUILD_TYPE Sanitize)
  set(CMAKE_C_FLAGS_SANITIZE "-O1 -gline-tables-only")
  set(CMAKE_CXX_FLAGS_SANITIZE "-O1 -gline-tables-only")
  set(SETUP_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all
    -fno-omit-frame-pointer)
  add_compile_options(${SETUP_SANITIZER_FLAGS} -fsanitize=fuzzer-no-link)
  add_link_options(${SETUP_SANITIZER_FLAGS})
endif()
