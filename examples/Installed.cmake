# The example plug-ins as they are installed with the SDK, built against it:
#   cmake -S <prefix>/share/qorb/examples -B build -DCMAKE_PREFIX_PATH=<prefix>
#   cmake --build build
# and run in the IDE: <prefix>/bin/qorb-ide --plugins build
cmake_minimum_required(VERSION 3.25)
project(QorbExamples LANGUAGES C CXX)
set(CMAKE_CXX_STANDARD 20)
find_package(Qorb REQUIRED)

# A menu item that says hello (C++).
qorb_add_plugin(QorbHello SOURCES hello-cpp/HelloPlugin.cpp RC hello-cpp/HelloPlugin.rc LIBS Qorb::vcl Qorb::rtl)
# A plug-in in plain C with its version texts and icon.
qorb_add_plugin(QorbSuiteInfo SOURCES info-c/InfoPlugin.c RC info-c/InfoPlugin.rc)
# An options page under "Qorb".
qorb_add_plugin(QorbOptionsExample SOURCES options-page/OptionsExample.cpp RC options-page/OptionsExample.rc
  LIBS Qorb::otahelper)
# A service of a plug-in's own, written in C and used from C++.
qorb_add_plugin(CounterC SOURCES counter-c/CounterPlugin.c)
qorb_add_plugin(CounterUser SOURCES counter-c/CounterUser.cpp LIBS Qorb::vcl)
target_include_directories(CounterUser PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/..)
