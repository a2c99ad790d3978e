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
