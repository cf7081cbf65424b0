# The client's settings file.
add_library(corvane_settings_file STATIC ${CMAKE_CURRENT_LIST_DIR}/settings_file.cpp)
target_include_directories(corvane_settings_file PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(corvane_settings_file PUBLIC corvane_framework_core corvane_platform)
