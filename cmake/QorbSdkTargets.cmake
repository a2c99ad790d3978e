# The targets a plug-in links, under the names the installed package gives
# them (Qorb::rtl, Qorb::vcl, ...), so that a project reads the same in the
# tree and outside it.

# The options-page base as authors outside the tree link it: compiled once
# more, on its own, with the flags of code that is unloaded with its plug-in.
file(GLOB qorb_otahelper_sources CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/otahelper/*.cpp")
add_library(qorbotahelper_sdk STATIC ${qorb_otahelper_sources})
set_target_properties(qorbotahelper_sdk PROPERTIES OUTPUT_NAME qorbotahelper POSITION_INDEPENDENT_CODE ON
  EXPORT_NAME otahelper ARCHIVE_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/sdk-lib")
qorb_unloadable_code(qorbotahelper_sdk)
target_link_libraries(qorbotahelper_sdk PUBLIC qorbvcl qorbtoolsapi)

# Plain C plug-ins need the one header and no library.
add_library(qorbplugin_c INTERFACE)
set_target_properties(qorbplugin_c PROPERTIES EXPORT_NAME plugin_c)
target_include_directories(qorbplugin_c INTERFACE
  $<BUILD_INTERFACE:${CMAKE_SOURCE_DIR}/sdk> $<INSTALL_INTERFACE:include/qorb>)
target_compile_features(qorbplugin_c INTERFACE c_std_11)

foreach(lib IN ITEMS rtl win vcl toolsapi)
  set_target_properties(qorb${lib} PROPERTIES EXPORT_NAME ${lib})
  add_library(Qorb::${lib} ALIAS qorb${lib})
endforeach()
add_library(Qorb::plugin_c ALIAS qorbplugin_c)
target_include_directories(qorbrtl INTERFACE $<INSTALL_INTERFACE:include/qorb>)
target_compile_features(qorbrtl INTERFACE cxx_std_20)
