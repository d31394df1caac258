# Drag-and-drop end-to-end tests: a real DoDragDrop from the test process
# onto the running program's list. Included by this folder's CMakeLists.txt.
plexoria_test(e2e_drop_tests WINDOWS SOURCES drop_text_test.cpp LIBS plexoria_e2e_support plexoria_framework)
add_dependencies(e2e_drop_tests plexoria)

# Drags from the drag-source components in the test process: text into the
# running program, a picture into a small program with the picture target.
add_executable(picture_target picture_target_main.cpp)
target_include_directories(picture_target PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(picture_target PRIVATE plexoria_dragdrop)
plexoria_warnings(picture_target)
plexoria_test(e2e_drag_source_tests WINDOWS SOURCES drag_source_test.cpp LIBS plexoria_e2e_support plexoria_dragdrop)
string(REPLACE "/" "\\\\" _picture_target_exe_windows "Z:${CMAKE_CURRENT_BINARY_DIR}/picture_target.exe")
target_compile_definitions(e2e_drag_source_tests PRIVATE "PICTURE_TARGET_EXE_PATH=\"${_picture_target_exe_windows}\"")
add_dependencies(e2e_drag_source_tests plexoria picture_target)
