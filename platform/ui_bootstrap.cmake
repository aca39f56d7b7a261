# The bootstrap's window (artwork from bootstrap/res).
quill_add_window_library(quill_ui_bootstrap ui_bootstrap.cpp
  ${PROJECT_SOURCE_DIR}/bootstrap/res banner.bmp bootstrap.ico quill_bootstrap)
