# add_payload(TARGET <target> LISTING <file> OUTPUT <file>
#             [BUILDER <path>] [DEFINES NAME=PATH...] [DEPENDS <file or target>...])
#
# Builds the setup's payload: runs the native payload_builder on the catalogue listing and
# writes the compressed catalogue to OUTPUT, the bytes of the resource "FILES". The stream is
# made with zopfli, which takes a minute or two for the shipped catalogue; the builder keeps
# each stream it makes in PAYLOAD_CACHE_DIR under the content hash of its catalogue, so a new
# build folder with an unchanged catalogue reuses it at once. TARGET is a
# custom target that stands for OUTPUT. BUILDER defaults to the cache variable
# PAYLOAD_BUILDER, the payload_builder of the native build. DEFINES give the paths that
# ${NAME} stands for in the listing's sources; a path may be a generator expression such as
# $<TARGET_FILE:hunspell_dll>. DEPENDS adds files or targets the payload waits for.
#
# The payload is built again when the listing, any source it names, or the builder changes.
# A change to the listing also re-runs the configuration, so that added sources are tracked.

include_guard(GLOBAL)

if(DEFINED ENV{XDG_CACHE_HOME} AND NOT "$ENV{XDG_CACHE_HOME}" STREQUAL "")
  set(_payload_cache_default "$ENV{XDG_CACHE_HOME}/veloquin-setup/payload")
elseif(DEFINED ENV{HOME} AND NOT "$ENV{HOME}" STREQUAL "")
  set(_payload_cache_default "$ENV{HOME}/.cache/veloquin-setup/payload")
else()
  set(_payload_cache_default "")
endif()
set(PAYLOAD_CACHE_DIR "${_payload_cache_default}" CACHE PATH
  "Folder of compressed payload streams kept by content hash; empty for none")

function(add_payload)
  cmake_parse_arguments(PARSE_ARGV 0 ARG "" "TARGET;LISTING;OUTPUT;BUILDER" "DEFINES;DEPENDS")
  if(ARG_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "add_payload: unknown arguments ${ARG_UNPARSED_ARGUMENTS}")
  endif()
  foreach(required TARGET LISTING OUTPUT)
    if(NOT ARG_${required})
      message(FATAL_ERROR "add_payload: ${required} is required")
    endif()
  endforeach()
  if(NOT ARG_BUILDER)
    set(ARG_BUILDER "${PAYLOAD_BUILDER}")
  endif()
  if(NOT ARG_BUILDER)
    message(FATAL_ERROR "add_payload: no BUILDER given and PAYLOAD_BUILDER is not set")
  endif()

  get_filename_component(listing "${ARG_LISTING}" ABSOLUTE)
  get_filename_component(listing_dir "${listing}" DIRECTORY)
  get_filename_component(output "${ARG_OUTPUT}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_BINARY_DIR}")
  if(NOT EXISTS "${listing}")
    message(FATAL_ERROR "add_payload: listing ${listing} does not exist")
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${listing}")

  set(define_args "")
  foreach(define IN LISTS ARG_DEFINES)
    if(NOT define MATCHES "^([A-Za-z_][A-Za-z0-9_]*)=(.+)$")
      message(FATAL_ERROR "add_payload: DEFINES needs NAME=PATH, not '${define}'")
    endif()
    list(APPEND define_args -D "${define}")
  endforeach()

  # The sources, for the dependencies: the third tab-separated field of each entry line,
  # with ${NAME} replaced as the builder replaces it. The builder itself checks the listing.
  set(sources "")
  file(STRINGS "${listing}" lines)
  foreach(line IN LISTS lines)
    if(line MATCHES "^[ \t]*(#|$)")
      continue()
    endif()
    if(NOT line MATCHES "^[^\t]+\t+[^\t]+\t+([^\t]+)\t*$")
      continue()
    endif()
    string(STRIP "${CMAKE_MATCH_1}" source)
    foreach(define IN LISTS ARG_DEFINES)
      string(FIND "${define}" "=" equals)
      string(SUBSTRING "${define}" 0 ${equals} name)
      math(EXPR value_start "${equals} + 1")
      string(SUBSTRING "${define}" ${value_start} -1 value)
      string(REPLACE "\${${name}}" "${value}" source "${source}")
    endforeach()
    if(source MATCHES "\\$<")
      # A generator expression names a build output; it is absolute once evaluated.
    elseif(NOT IS_ABSOLUTE "${source}")
      set(source "${listing_dir}/${source}")
    endif()
    list(APPEND sources "${source}")
  endforeach()

  set(cache_args "")
  if(PAYLOAD_CACHE_DIR)
    set(cache_args --cache "${PAYLOAD_CACHE_DIR}")
  endif()

  add_custom_command(
    OUTPUT "${output}"
    COMMAND "${ARG_BUILDER}" "${listing}" "${output}" ${define_args} ${cache_args}
    DEPENDS "${listing}" "${ARG_BUILDER}" ${sources} ${ARG_DEPENDS}
    COMMENT "Building the payload ${output}"
    VERBATIM)
  add_custom_target(${ARG_TARGET} DEPENDS "${output}")
endfunction()
