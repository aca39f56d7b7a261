# quill_publisher_key_source(<text> <output>): writes the source file that
# gives the updater its publisher key. The text is the key's 128 hex digits
# or the path of a public key file made by "quill-publish keygen"; empty
# means a build that takes unsigned mirrors.
function(quill_publisher_key_source text output)
  set(hex "")
  if(NOT "${text}" STREQUAL "")
    if(EXISTS "${text}")
      file(READ "${text}" content)
      string(REGEX MATCH "[0-9a-fA-F]+[\r\n]*$" hex "${content}")
      string(STRIP "${hex}" hex)
    else()
      set(hex "${text}")
    endif()
    if(NOT hex MATCHES "^[0-9a-fA-F]+$")
      message(FATAL_ERROR "QUILL_PUBLISHER_KEY is neither 128 hex digits nor a public key "
        "file: ${text}")
    endif()
    string(LENGTH "${hex}" length)
    if(NOT length EQUAL 128)
      message(FATAL_ERROR "QUILL_PUBLISHER_KEY is neither 128 hex digits nor a public key "
        "file: ${text}")
    endif()
    string(TOLOWER "${hex}" hex)
  endif()
  set(quill_publisher_key_hex "${hex}")
  configure_file(${PROJECT_SOURCE_DIR}/update/app/publisher_key.cpp.in ${output} @ONLY)
endfunction()
