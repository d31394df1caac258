# Tests of the framework's graphics: the BMP codec natively (sanitizers) and
# under Wine, the canvas, fonts and bitmaps against real GDI under Wine.
plexoria_test(graphics_bmp_codec_tests NATIVE SOURCES graphics_bmp_codec_test.cpp LIBS plexoria_framework_core)
plexoria_test(graphics_tests WINDOWS
  SOURCES graphics_bmp_codec_test.cpp graphics_canvas_test.cpp graphics_bitmap_test.cpp
    graphics_imagelist_test.cpp graphics_handles_test.cpp
  LIBS plexoria_framework)
plexoria_fuzzer(graphics_bmp_fuzzer SOURCES graphics_bmp_fuzzer.cpp LIBS plexoria_framework_core
  CORPUS ${CMAKE_CURRENT_LIST_DIR}/graphics_bmp_fuzzer_corpus)
