# FTP sessions (WinINet on Windows, libcurl elsewhere).
add_library(quill_platform_ftp STATIC
  ${CMAKE_CURRENT_LIST_DIR}/common/ftp_reply.cpp
  ${CMAKE_CURRENT_LIST_DIR}/common/ftp_kept_session.cpp
  ${CMAKE_CURRENT_LIST_DIR}/common/ftp_server_name.cpp
  ${CMAKE_CURRENT_LIST_DIR}/${QUILL_PLATFORM_BACKEND}/ftp.cpp)
quill_target_defaults(quill_platform_ftp)
target_link_libraries(quill_platform_ftp PUBLIC quill_platform)
if(WIN32)
  target_link_libraries(quill_platform_ftp PUBLIC wininet)
else()
  find_package(CURL REQUIRED)
  target_link_libraries(quill_platform_ftp PRIVATE CURL::libcurl)
endif()
