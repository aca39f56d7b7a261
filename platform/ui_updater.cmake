# The updater's window (artwork from update/app/res).
quill_add_window_library(quill_ui_updater ui_updater.cpp
  ${PROJECT_SOURCE_DIR}/update/app/res banner.bmp quill.ico quill_updater)
