# qorb_target_resources(<target> <file.rc> [DEPENDS <file>...])
#
# Compiles a resource script with llvm-rc and carries the .res image in the
# target's ELF section .rsrc, where the resource and version functions find
# it. Files named in the script (RCDATA "logo.png") are found next to the
# script and are picked up as dependencies automatically.
if(WIN32)
  # On Windows the script is compiled by windres into the PE file itself.
  enable_language(RC)
  function(qorb_target_resources target rc)
    get_filename_component(rc_abs "${rc}" ABSOLUTE)
    get_filename_component(rc_dir "${rc_abs}" DIRECTORY)
    target_sources(${target} PRIVATE "${rc_abs}")
    set_property(SOURCE "${rc_abs}" TARGET_DIRECTORY ${target} APPEND PROPERTY INCLUDE_DIRECTORIES "${rc_dir}")
  endfunction()
  return()
endif()
# Looked for here, needed only by a target with a resource script: a plug-in
# without one builds on a machine without LLVM.
find_program(QORB_LLVM_RC NAMES llvm-rc llvm-rc-14)
# The .res image goes in through an assembler file.
get_property(qorb_languages GLOBAL PROPERTY ENABLED_LANGUAGES)
if(NOT "ASM" IN_LIST qorb_languages)
  enable_language(ASM)
endif()

function(qorb_target_resources target rc)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  if(NOT QORB_LLVM_RC)
    message(FATAL_ERROR "${target}: compiling the resource script ${rc} needs llvm-rc, which was not found; "
      "install it (on Debian and Ubuntu: apt-get install llvm) or set QORB_LLVM_RC to its path")
  endif()
  get_filename_component(rc_abs "${rc}" ABSOLUTE)
  get_filename_component(rc_dir "${rc_abs}" DIRECTORY)
  get_filename_component(rc_name "${rc_abs}" NAME_WE)
  set(out_dir "${CMAKE_CURRENT_BINARY_DIR}/${target}.rsrc")
  set(res "${out_dir}/${rc_name}.res")
  set(asm "${out_dir}/${rc_name}.rsrc.S")

  set(deps "${rc_abs}")
  file(STRINGS "${rc_abs}" rc_lines REGEX "\"[^\"]+\\.[A-Za-z0-9]+\"[ \t]*$")
  foreach(line IN LISTS rc_lines)
    if(line MATCHES "(RCDATA|ICON|BITMAP|[0-9]+)[ \t]+\"([^\"]+)\"")
      list(APPEND deps "${rc_dir}/${CMAKE_MATCH_2}")
    endif()
  endforeach()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${rc_abs}")

  add_custom_command(OUTPUT "${res}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${out_dir}"
    # "--" because llvm-rc reads a path such as /check/... as its /C option.
    COMMAND ${QORB_LLVM_RC} /FO "${res}" -- "${rc_abs}"
    WORKING_DIRECTORY "${rc_dir}"
    DEPENDS ${deps} ${ARG_DEPENDS}
    COMMENT "Compiling resources ${rc_name}.rc for ${target}"
    VERBATIM)

  # "R" (retained) keeps --gc-sections from dropping the section.
  file(CONFIGURE OUTPUT "${asm}" CONTENT
"\t.section .rsrc,\"aR\",@progbits
\t.balign 16
\t.incbin \"${res}\"
\t.section .note.GNU-stack,\"\",@progbits
")
  target_sources(${target} PRIVATE "${asm}")
  set_source_files_properties("${asm}" PROPERTIES OBJECT_DEPENDS "${res}")
  # The rule for the .res lives in this directory; a target made elsewhere
  # still gets it built first.
  add_custom_target(${target}_${rc_name}_res DEPENDS "${res}")
  add_dependencies(${target} ${target}_${rc_name}_res)
endfunction()
