# Code that ends up in a library loaded and unloaded at run time: only marked
# symbols are exported, and nothing may pin the library in memory after
# dlclose (unique symbols would). Static libraries linked into such a
# library need the same flags.
function(qorb_unloadable_code target)
  if(WIN32)
    # A DLL exports only what is marked, and nothing pins it.
    return()
  endif()
  target_compile_options(${target} PRIVATE
    -fvisibility=hidden
    $<$<COMPILE_LANGUAGE:CXX>:-fvisibility-inlines-hidden -fno-gnu-unique>)
endfunction()

# A library loaded and unloaded at run time (the package, plug-ins, the About
# library, fixtures), named exactly as given.
function(qorb_loadable_library target)
  qorb_unloadable_code(${target})
  set_target_properties(${target} PROPERTIES
    PREFIX "" C_VISIBILITY_PRESET hidden CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
endfunction()

# A library of ours that programs and other libraries link against. On
# Windows it exports everything, as an ELF library does, even where a few
# symbols are marked for export.
function(qorb_shared_library target)
  if(WIN32)
    target_link_options(${target} PRIVATE -Wl,--export-all-symbols)
  endif()
endfunction()
