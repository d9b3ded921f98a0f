# The PV monitor's rules, shared with tralvo-cli; the dialog over them is a window (app/).
add_library(tralvo_pvmonitor STATIC
    PvMonitor.h
    PvMonitor.cpp
)
target_include_directories(tralvo_pvmonitor PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(tralvo_pvmonitor PUBLIC tralvo_workflows tralvo_hart tralvo_strings)
