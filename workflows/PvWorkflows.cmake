# The PV monitor: its rules (PvMonitor, shared with tralvo-cli) and the dialog over them.
add_library(tralvo_pv STATIC
    PvMonitor.h
    PvMonitor.cpp
    PvDlg.h
    PvDlg.cpp
)
target_include_directories(tralvo_pv PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(tralvo_pv PUBLIC tralvo_workflows tralvo_hart tralvo_appcore Qt6::Widgets)
