# Drag-and-drop end-to-end tests: a real DoDragDrop from the test process
# onto the running program's list. Included by this folder's CMakeLists.txt.
plexoria_test(e2e_drop_tests WINDOWS SOURCES drop_text_test.cpp LIBS plexoria_e2e_support plexoria_framework)
add_dependencies(e2e_drop_tests plexoria)
