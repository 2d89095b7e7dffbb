# 64-bit Windows: the same sources for a 64-bit Wine, where the kernel runs
# no 32-bit programs.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
