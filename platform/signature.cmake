# Signatures and SHA-256 (CNG on Windows, libcrypto elsewhere).
add_library(quill_platform_signature STATIC
  ${CMAKE_CURRENT_LIST_DIR}/common/sha256_of.cpp
  ${CMAKE_CURRENT_LIST_DIR}/${QUILL_PLATFORM_BACKEND}/signature.cpp)
quill_target_defaults(quill_platform_signature)
target_link_libraries(quill_platform_signature PUBLIC quill_platform)
if(WIN32)
  target_link_libraries(quill_platform_signature PUBLIC bcrypt)
else()
  find_package(OpenSSL 3 REQUIRED COMPONENTS Crypto)
  target_link_libraries(quill_platform_signature PRIVATE OpenSSL::Crypto)
endif()
