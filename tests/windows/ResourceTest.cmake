# --- Resources of korvanto.exe (owner: the resources developer) ----------------------
# korvanto-resource-test loads the real program file as data and compares its dialog
# templates, icon group, string table and version block with the rows in res/.
add_executable(korvanto-resource-test ResourceTest.cpp)
target_link_libraries(korvanto-resource-test PRIVATE korvanto_res gtest version)
add_test(NAME windows.resources COMMAND korvanto-resource-test $<TARGET_FILE:korvanto>)
