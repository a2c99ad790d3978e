# qorb_add_plugin(<name> SOURCES <files...> [RC <file.rc>] [OUTPUT_DIRECTORY <dir>] [LIBS <libs...>])
#
# Builds a plug-in library <name>.dll: a shared library with only its marked
# symbols exported (InitPlugin, Shutdown), nothing that would pin it in
# memory after unloading, and, with RC, its version information and icon
# carried as resources. C plug-ins need nothing but sdk/qorb_plugin.h;
# C++ plug-ins link the host runtime (qorbrtl) for strings and interfaces.
#
# Outside this repository: include() this file after setting QORB_SDK_ROOT to
# the folder holding sdk/, rtl/ and cmake/ of a Qorb source tree.
if(NOT DEFINED QORB_SDK_ROOT)
  get_filename_component(QORB_SDK_ROOT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
endif()
if(NOT COMMAND qorb_target_resources)
  include("${QORB_SDK_ROOT}/cmake/QorbResources.cmake")
endif()
if(NOT COMMAND qorb_loadable_library)
  include("${QORB_SDK_ROOT}/cmake/QorbFlags.cmake")
endif()

function(qorb_add_plugin name)
  cmake_parse_arguments(ARG "" "RC;OUTPUT_DIRECTORY" "SOURCES;LIBS" ${ARGN})
  add_library(${name} SHARED ${ARG_SOURCES})
  qorb_loadable_library(${name})
  set_target_properties(${name} PROPERTIES OUTPUT_NAME "${name}" SUFFIX ".dll")
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
