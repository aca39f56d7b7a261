# FTP sessions (WinINet on Windows, libcurl elsewhere).
