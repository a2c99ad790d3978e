# The compiler's runtime libraries go beside our programs, where Windows
# looks for a program's DLLs first, and with them into an installed bin/.
set(QORB_WINDOWS_RUNTIME_DLLS "")
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
    find_file(path_${dll} ${dll} PATHS /usr/${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32/lib NO_DEFAULT_PATH REQUIRED)
    set(path ${path_${dll}})
  endif()
  file(COPY ${path} DESTINATION ${QORB_BIN_DIR})
  list(APPEND QORB_WINDOWS_RUNTIME_DLLS ${QORB_BIN_DIR}/${dll})
endforeach()
