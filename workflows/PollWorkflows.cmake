# The poll test and continuous send: the steps written once against a small view
# interface, driven by the main window and by tralvo-cli.
find_package(Threads REQUIRED)
add_library(tralvo_workflows STATIC
    TestView.h
    ReadTag.h
    ReadTag.cpp
    PollHartNetwork.h
    PollHartNetwork.cpp
    ContinuousSend.h
    ContinuousSend.cpp
    PortErrors.h
    PortErrors.cpp
    LineWorker.h
    LineWorker.cpp
)
target_include_directories(tralvo_workflows PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(tralvo_workflows PUBLIC tralvo_hart tralvo_strings Qt6::Core Threads::Threads)
