# qorb_add_plugin(<name> SOURCES <files...> [RC <file.rc>] [OUTPUT_DIRECTORY <dir>] [LIBS <libs...>])
#
# Builds a plug-in library <name>.dll: a shared library with only its marked
# symbols exported (InitPlugin, Shutdown), nothing that would pin it in
# memory after unloading, and, with RC, its version information and icon
# carried as resources. The library finds the IDE's runtime libraries one
# folder up, as it sits in Plugins/. C plug-ins need nothing but
# sdk/qorb_plugin.h; C++ plug-ins link the host runtime (qorbrtl) for strings
# and interfaces, and the component library (qorbvcl, which brings qorbrtl)
# for menu items.
#
# Outside this repository: set QORB_SDK_ROOT to a Qorb source tree (the folder
# holding sdk/, rtl/ and cmake/) and QORB_IDE_DIR to a built IDE folder
# (build/default/bin), then include() this file. qorbrtl, qorbwin, qorbvcl and
# qorbtoolsapi are then the IDE folder's libraries. Nothing here changes the
# including project's own compile flags.
#
# LIBS qorbotahelper gives a plug-in the options-page base and the
# translation helpers (otahelper/), compiled into the plug-in.
if(NOT DEFINED QORB_SDK_ROOT)
  get_filename_component(QORB_SDK_ROOT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
endif()
if(NOT COMMAND qorb_target_resources)
  include("${QORB_SDK_ROOT}/cmake/QorbResources.cmake")
endif()
if(NOT COMMAND qorb_loadable_library)
  include("${QORB_SDK_ROOT}/cmake/QorbLoadable.cmake")
endif()

if(DEFINED QORB_IDE_DIR AND NOT TARGET qorbrtl)
  foreach(lib IN ITEMS rtl win vcl toolsapi)
    set(file "${QORB_IDE_DIR}/libqorb${lib}.so")
    if(NOT EXISTS "${file}")
      message(FATAL_ERROR "QORB_IDE_DIR: ${file} not found; point it at a built IDE folder (build/default/bin)")
    endif()
    add_library(qorb${lib} SHARED IMPORTED)
    set_target_properties(qorb${lib} PROPERTIES IMPORTED_LOCATION "${file}"
      INTERFACE_INCLUDE_DIRECTORIES "${QORB_SDK_ROOT}")
  endforeach()
  # As the libraries link each other in the tree.
  set_target_properties(qorbwin PROPERTIES INTERFACE_LINK_LIBRARIES qorbrtl)
  set_target_properties(qorbvcl PROPERTIES INTERFACE_LINK_LIBRARIES "qorbwin;qorbrtl")
  set_target_properties(qorbtoolsapi PROPERTIES INTERFACE_LINK_LIBRARIES qorbrtl)
endif()

if(NOT TARGET qorbotahelper)
  if(TARGET qorbhost)
    # In the tree the host's unit library holds them already.
    add_library(qorbotahelper INTERFACE)
    target_link_libraries(qorbotahelper INTERFACE qorbhost)
  elseif(TARGET qorbtoolsapi)
    file(GLOB qorb_otahelper_sources CONFIGURE_DEPENDS "${QORB_SDK_ROOT}/otahelper/*.cpp")
    add_library(qorbotahelper STATIC EXCLUDE_FROM_ALL ${qorb_otahelper_sources})
    set_target_properties(qorbotahelper PROPERTIES POSITION_INDEPENDENT_CODE ON)
    target_compile_features(qorbotahelper PUBLIC cxx_std_20)
    qorb_unloadable_code(qorbotahelper)
    target_link_libraries(qorbotahelper PUBLIC qorbvcl qorbtoolsapi)
  endif()
endif()

function(qorb_add_plugin name)
  cmake_parse_arguments(ARG "" "RC;OUTPUT_DIRECTORY" "SOURCES;LIBS" ${ARGN})
  # A misspelt keyword would otherwise build a library without InitPlugin,
  # which the host skips without a word.
  if(ARG_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "qorb_add_plugin(${name}): unknown arguments ${ARG_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT ARG_SOURCES)
    message(FATAL_ERROR "qorb_add_plugin(${name}): no SOURCES")
  endif()
  foreach(lib IN LISTS ARG_LIBS)
    if(lib MATCHES "^qorb(rtl|win|vcl|toolsapi|otahelper)$" AND NOT TARGET ${lib})
      message(FATAL_ERROR "qorb_add_plugin(${name}): ${lib} is not known; set QORB_IDE_DIR to a built IDE folder")
    endif()
  endforeach()
  add_library(${name} SHARED ${ARG_SOURCES})
  qorb_loadable_library(${name})
  set_target_properties(${name} PROPERTIES OUTPUT_NAME "${name}" SUFFIX ".dll"
    BUILD_RPATH "$ORIGIN/.." INSTALL_RPATH "$ORIGIN/..")
  # The C++ headers are C++20; plain C plug-ins need no C++ compiler.
  list(FILTER ARG_SOURCES INCLUDE REGEX "\\.(cpp|cc|cxx)$")
  if(ARG_SOURCES)
    target_compile_features(${name} PRIVATE cxx_std_20)
  endif()
  if(ARG_OUTPUT_DIRECTORY)
    set_target_properties(${name} PROPERTIES LIBRARY_OUTPUT_DIRECTORY "${ARG_OUTPUT_DIRECTORY}")
  endif()
  target_include_directories(${name} PRIVATE "${QORB_SDK_ROOT}" "${QORB_SDK_ROOT}/sdk")
  if(ARG_LIBS)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  endif()
  if(ARG_RC)
    qorb_target_resources(${name} "${ARG_RC}")
  endif()
endfunction()
