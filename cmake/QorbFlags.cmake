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

# Libraries that are loaded and unloaded at run time (the package, plug-ins,
# the About library, fixtures): only marked symbols are exported, and nothing
# may pin the library in memory after dlclose (unique symbols would).
function(qorb_loadable_library target)
  target_compile_options(${target} PRIVATE
    -fvisibility=hidden
    $<$<COMPILE_LANGUAGE:CXX>:-fvisibility-inlines-hidden -fno-gnu-unique>)
  set_target_properties(${target} PROPERTIES
    PREFIX "" C_VISIBILITY_PRESET hidden CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
endfunction()
