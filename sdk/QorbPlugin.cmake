# qorb_add_plugin(<name> SOURCES <files...> [RC <file.rc>] [OUTPUT_DIRECTORY <dir>] [LIBS <libs...>])
#
# Builds a plug-in library <name>.dll: a shared library with only its marked
# symbols exported (InitPlugin, Shutdown), nothing that would pin it in
# memory after unloading, and, with RC, its version information and icon
# carried as resources. C plug-ins need nothing but qorb_plugin.h; C++
# plug-ins link the host runtime (Qorb::rtl) for strings and interfaces, the
# component library (Qorb::vcl, which brings Qorb::win and Qorb::rtl) for
# menu items, Qorb::otahelper for the options-page base and the translation
# helpers (compiled into the plug-in). The older names qorbrtl, qorbvcl,
# qorbotahelper, ... mean the same targets.
#
# Outside this repository, find_package(Qorb) includes this file. Such a
# plug-in finds the IDE's runtime libraries loaded already, so it carries
# only $ORIGIN as its RUNPATH: libraries of the author's own go beside it.
# Nothing here changes the including project's own compile flags.
set(QORB_SDK_INSTALLED OFF)
if(TARGET Qorb::rtl)
  get_target_property(qorb_rtl_imported Qorb::rtl IMPORTED)
  if(qorb_rtl_imported)
    set(QORB_SDK_INSTALLED ON)
  endif()
endif()

if(NOT QORB_SDK_INSTALLED)
  # In the tree: the sources are one folder up.
  get_filename_component(QORB_SDK_ROOT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
  if(NOT COMMAND qorb_target_resources)
    include("${QORB_SDK_ROOT}/cmake/QorbResources.cmake")
  endif()
  if(NOT COMMAND qorb_loadable_library)
    include("${QORB_SDK_ROOT}/cmake/QorbLoadable.cmake")
  endif()
  if(NOT TARGET qorbotahelper AND TARGET qorbhost)
    # The host's unit library holds them already.
    add_library(qorbotahelper INTERFACE)
    target_link_libraries(qorbotahelper INTERFACE qorbhost)
    add_library(Qorb::otahelper ALIAS qorbotahelper)
  endif()
else()
  include("${CMAKE_CURRENT_LIST_DIR}/QorbResources.cmake")
  include("${CMAKE_CURRENT_LIST_DIR}/QorbLoadable.cmake")
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
  set(libs "")
  foreach(lib IN LISTS ARG_LIBS)
    if(lib MATCHES "^qorb(rtl|win|vcl|toolsapi|otahelper)$")
      set(lib "Qorb::${CMAKE_MATCH_1}")
    endif()
    if(lib MATCHES "^Qorb::" AND NOT TARGET ${lib})
      message(FATAL_ERROR "qorb_add_plugin(${name}): ${lib} is not known; the Qorb package has "
        "Qorb::rtl, Qorb::win, Qorb::vcl, Qorb::toolsapi, Qorb::otahelper and Qorb::plugin_c")
    endif()
    list(APPEND libs ${lib})
  endforeach()
  add_library(${name} SHARED ${ARG_SOURCES})
  qorb_loadable_library(${name})
  set_target_properties(${name} PROPERTIES OUTPUT_NAME "${name}" SUFFIX ".dll")
  if(QORB_SDK_INSTALLED)
    # Only $ORIGIN, in the build folder too: no path of this machine goes
    # into the file, so the folder can be copied anywhere.
    set_target_properties(${name} PROPERTIES BUILD_WITH_INSTALL_RPATH ON INSTALL_RPATH "$ORIGIN")
    target_link_libraries(${name} PRIVATE Qorb::plugin_c)
  else()
    # As it sits in the IDE folder's Plugins/.
    set_target_properties(${name} PROPERTIES BUILD_RPATH "$ORIGIN/.." INSTALL_RPATH "$ORIGIN/..")
    target_include_directories(${name} PRIVATE "${QORB_SDK_ROOT}" "${QORB_SDK_ROOT}/sdk")
  endif()
  # The C++ headers are C++20; plain C plug-ins need no C++ compiler.
  list(FILTER ARG_SOURCES INCLUDE REGEX "\\.(cpp|cc|cxx)$")
  if(ARG_SOURCES)
    target_compile_features(${name} PRIVATE cxx_std_20)
  elseif(WIN32 AND CMAKE_C_COMPILER_ID STREQUAL "GNU")
    # No DLL of the compiler's own: the C runtime is all a C plug-in needs,
    # whichever compiler built the IDE.
    target_link_options(${name} PRIVATE -static-libgcc)
  endif()
  if(ARG_OUTPUT_DIRECTORY)
    # A DLL is a runtime output on Windows, a library elsewhere.
    set_target_properties(${name} PROPERTIES LIBRARY_OUTPUT_DIRECTORY "${ARG_OUTPUT_DIRECTORY}"
      RUNTIME_OUTPUT_DIRECTORY "${ARG_OUTPUT_DIRECTORY}")
  endif()
  if(libs)
    target_link_libraries(${name} PRIVATE ${libs})
  endif()
  if(ARG_RC)
    qorb_target_resources(${name} "${ARG_RC}")
  endif()
endfunction()
