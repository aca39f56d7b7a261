# Signatures and SHA-256 (CNG on Windows, libcrypto elsewhere).
quill_add_seam_library(quill_platform_signature signature.cpp sha256_of.cpp)
if(WIN32)
  target_link_libraries(quill_platform_signature PUBLIC bcrypt)
else()
  find_package(OpenSSL 3 REQUIRED COMPONENTS Crypto)
  target_link_libraries(quill_platform_signature PRIVATE OpenSSL::Crypto)
endif()
