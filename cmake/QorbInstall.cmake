# `cmake --install` lays out a runnable IDE and the plug-in SDK under one
# prefix: bin/ holds what the IDE folder holds in a build (the program, the
# package, the About library, Plugins/), lib/ the runtime libraries, the
# static options-page base and the CMake and pkg-config files, include/qorb/
# the headers with the include paths they use among themselves. On Windows
# the runtime DLLs and the compiler's go into bin/ too, where the loader
# looks first for what a program needs; lib/ keeps their import libraries.
include(CMakePackageConfigHelpers)

# Fixed, not the platform's multiarch folders: the programs find the
# libraries as $ORIGIN/../lib.
set(QORB_INSTALL_BINDIR bin)
set(QORB_INSTALL_LIBDIR lib)
set(QORB_INSTALL_CMAKEDIR "lib/cmake/Qorb")
set(QORB_INSTALL_INCLUDEDIR "include/qorb")
set(QORB_IDE_FILE_NAME "qorb-ide${CMAKE_EXECUTABLE_SUFFIX}")

# Beside each other in lib/; the IDE, the package and the About library one
# folder over in bin/.
set_target_properties(qorbrtl qorbwin qorbvcl qorbtoolsapi qorbide qorbworkbench PROPERTIES INSTALL_RPATH "$ORIGIN")
set_target_properties(qorb-ide Qorb_DelphiMain DelphiMainProc PROPERTIES INSTALL_RPATH "$ORIGIN/../lib")

install(TARGETS qorbrtl qorbwin qorbvcl qorbtoolsapi qorbotahelper_sdk qorbplugin_c EXPORT QorbTargets
  RUNTIME DESTINATION ${QORB_INSTALL_BINDIR}
  LIBRARY DESTINATION ${QORB_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${QORB_INSTALL_LIBDIR})
install(TARGETS qorb-ide RUNTIME DESTINATION ${QORB_INSTALL_BINDIR})
set(qorb_example_plugins QorbHello QorbSuiteInfo QorbOptionsExample)
if(WIN32)
  # Only the DLLs: nothing links against the IDE's own libraries, the
  # package or a plug-in.
  install(FILES $<TARGET_FILE:qorbide> $<TARGET_FILE:qorbworkbench> $<TARGET_FILE:Qorb_DelphiMain>
    $<TARGET_FILE:DelphiMainProc> ${QORB_WINDOWS_RUNTIME_DLLS} DESTINATION ${QORB_INSTALL_BINDIR})
  foreach(plugin IN LISTS qorb_example_plugins)
    install(FILES $<TARGET_FILE:${plugin}> DESTINATION ${QORB_INSTALL_BINDIR}/Plugins)
  endforeach()
else()
  install(TARGETS qorbide qorbworkbench LIBRARY DESTINATION ${QORB_INSTALL_LIBDIR})
  install(TARGETS Qorb_DelphiMain DelphiMainProc LIBRARY DESTINATION ${QORB_INSTALL_BINDIR})
  # Loaded by the IDE, which has the runtime libraries loaded already; the
  # path is for tools that open them on their own.
  set_target_properties(${qorb_example_plugins} PROPERTIES INSTALL_RPATH "$ORIGIN/../../lib")
  install(TARGETS ${qorb_example_plugins} LIBRARY DESTINATION ${QORB_INSTALL_BINDIR}/Plugins)
endif()

foreach(dir IN ITEMS rtl winapi vcl toolsapi otahelper sdk)
  install(DIRECTORY "${CMAKE_SOURCE_DIR}/${dir}/" DESTINATION "${QORB_INSTALL_INCLUDEDIR}/${dir}"
    FILES_MATCHING PATTERN "*.h")
endforeach()
# C authors include them without a folder.
install(FILES sdk/qorb_plugin.h sdk/qorb_about.h DESTINATION "${QORB_INSTALL_INCLUDEDIR}")

install(EXPORT QorbTargets NAMESPACE Qorb:: DESTINATION "${QORB_INSTALL_CMAKEDIR}")
configure_package_config_file(sdk/QorbConfig.cmake.in "${CMAKE_BINARY_DIR}/sdk-cmake/QorbConfig.cmake"
  INSTALL_DESTINATION "${QORB_INSTALL_CMAKEDIR}"
  PATH_VARS QORB_INSTALL_BINDIR QORB_INSTALL_INCLUDEDIR)
write_basic_package_version_file("${CMAKE_BINARY_DIR}/sdk-cmake/QorbConfigVersion.cmake"
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES
  "${CMAKE_BINARY_DIR}/sdk-cmake/QorbConfig.cmake"
  "${CMAKE_BINARY_DIR}/sdk-cmake/QorbConfigVersion.cmake"
  sdk/QorbPlugin.cmake
  cmake/QorbResources.cmake
  cmake/QorbLoadable.cmake
  DESTINATION "${QORB_INSTALL_CMAKEDIR}")

if(WIN32)
  # Cross-building from Linux needs nothing but the prefix: the toolchain
  # file, and the Wine runner it names as its tests' emulator.
  install(FILES cmake/toolchain-mingw-w64.cmake DESTINATION "${QORB_INSTALL_CMAKEDIR}")
  install(PROGRAMS scripts/wine-run DESTINATION "${QORB_INSTALL_CMAKEDIR}")
endif()

configure_file(sdk/qorb.pc.in "${CMAKE_BINARY_DIR}/sdk-cmake/qorb.pc" @ONLY)
install(FILES "${CMAKE_BINARY_DIR}/sdk-cmake/qorb.pc" DESTINATION "${QORB_INSTALL_LIBDIR}/pkgconfig")

# The examples the authors' guide cites, with a project that builds them
# against this SDK.
set(QORB_INSTALL_EXAMPLESDIR "share/qorb/examples")
foreach(example IN ITEMS hello-cpp info-c options-page counter-c)
  install(DIRECTORY "${CMAKE_SOURCE_DIR}/examples/${example}/" DESTINATION "${QORB_INSTALL_EXAMPLESDIR}/${example}")
endforeach()
install(FILES examples/Installed.cmake DESTINATION "${QORB_INSTALL_EXAMPLESDIR}" RENAME CMakeLists.txt)
