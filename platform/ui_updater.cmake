# The updater's window (artwork from update/app/res). On Linux the GTK
# window is a module that the program loads only when it shows a window.
quill_add_window_library(quill_ui_updater ui_updater.cpp
  ${PROJECT_SOURCE_DIR}/update/app/res banner.bmp quill.ico quill_updater
  GTK_MODULE quill_updater_window ui_updater_loader.cpp)
