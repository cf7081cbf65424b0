# The time request and reply payloads, shared by the server and the client.
add_library(corvane_time_messages STATIC ${CMAKE_CURRENT_LIST_DIR}/time_messages.cpp)
target_include_directories(corvane_time_messages PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(corvane_time_messages PUBLIC corvane_platform)
