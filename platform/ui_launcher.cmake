# The launcher's window: Win32 with the system's WebBrowser control, or GTK 3
# with WebKitGTK. Only the launcher links it.
add_library(quill_ui_launcher STATIC
  common/ui_launcher_aids.cpp
  ${QUILL_PLATFORM_BACKEND}/ui_launcher.cpp)
quill_target_defaults(quill_ui_launcher)
target_link_libraries(quill_ui_launcher PUBLIC quill_platform)
if(WIN32)
  target_sources(quill_ui_launcher PRIVATE win32/browser_site.cpp)
  quill_add_dialog_aids()
  target_link_libraries(quill_ui_launcher PUBLIC ole32 oleaut32 uuid user32 gdi32
    PRIVATE quill_dialog_aids)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(QUILL_LAUNCHER_GTK REQUIRED IMPORTED_TARGET gtk+-3.0 webkit2gtk-4.1)
  quill_add_gtk_aids()
  target_link_libraries(quill_ui_launcher PRIVATE quill_gtk_aids PkgConfig::QUILL_LAUNCHER_GTK)
endif()
