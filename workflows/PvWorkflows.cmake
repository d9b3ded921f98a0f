# The PV monitor: its rules (PvMonitor, shared with tralvo-cli, without widgets) and the
# dialog over them.
add_library(tralvo_pvmonitor STATIC
    PvMonitor.h
    PvMonitor.cpp
)
target_include_directories(tralvo_pvmonitor PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(tralvo_pvmonitor PUBLIC tralvo_workflows tralvo_hart tralvo_strings)

add_library(tralvo_pv STATIC
    PvDlg.h
    PvDlg.cpp
)
target_link_libraries(tralvo_pv PUBLIC tralvo_pvmonitor Qt6::Widgets)
