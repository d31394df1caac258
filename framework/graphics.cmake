# GDI part of the framework: handle owners, canvas, fonts, bitmaps, pictures.
# The BMP codec is platform-neutral so it is tested and fuzzed natively too.
list(APPEND FRAMEWORK_CORE_SOURCES ${CMAKE_CURRENT_LIST_DIR}/BmpCodec.cpp)
list(APPEND FRAMEWORK_WIN_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/Graphics.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Bitmap.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ImageList.cpp
)
