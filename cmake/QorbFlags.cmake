# Warnings are errors on all of our code.
add_compile_options(-Wall -Wextra -Werror)

# Sanitizer builds set QORB_SANITIZE in their preset.
set(QORB_SANITIZE "" CACHE STRING "Sanitizers: address,undefined | thread | empty")
if(QORB_SANITIZE)
  add_compile_options(-fsanitize=${QORB_SANITIZE} -fno-omit-frame-pointer)
  add_link_options(-fsanitize=${QORB_SANITIZE})
  if(QORB_SANITIZE MATCHES "undefined")
    # Interfaces may be implemented by foreign code (plug-ins in C) whose
    # objects carry no C++ type information for the vptr check to read.
    add_compile_options(-fno-sanitize-recover=undefined -fno-sanitize=vptr)
  endif()
endif()

include("${CMAKE_CURRENT_LIST_DIR}/QorbLoadable.cmake")
