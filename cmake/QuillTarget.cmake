# Settings shared by every target of the project's own code.
function(quill_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  set_target_properties(${target} PROPERTIES
    CXX_VISIBILITY_PRESET hidden
    C_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
  if(WIN32)
    # Keep <windows.h> from defining min/max and the rarely used parts.
    target_compile_definitions(${target} PRIVATE NOMINMAX)
  endif()
endfunction()
