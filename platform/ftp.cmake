# FTP sessions (WinINet on Windows, libcurl elsewhere).
quill_add_seam_library(quill_platform_ftp ftp.cpp
  ftp_reply.cpp ftp_kept_session.cpp ftp_server_name.cpp)
if(WIN32)
  target_link_libraries(quill_platform_ftp PUBLIC wininet)
else()
  find_package(CURL REQUIRED)
  target_link_libraries(quill_platform_ftp PRIVATE CURL::libcurl)
endif()
