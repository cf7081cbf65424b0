# The client's options dialog and the range dialog it opens.
add_library(corvane_client_dialogs STATIC
    ${CMAKE_CURRENT_LIST_DIR}/options_dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/range_dialog.cpp
)
target_include_directories(corvane_client_dialogs PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(corvane_client_dialogs PUBLIC corvane_about corvane_framework_widgets corvane_resources
    corvane_settings_file)
