# tralvo_add_gtest(<name> SOURCES <files...> LIBS <targets...> [QT])
# Builds one GoogleTest program and registers its tests with CTest. Every test runs with
# its own settings folder (TestConfigHome.cpp), so none reads or writes
# real settings or another test's.
include(GoogleTest)
find_package(GTest REQUIRED)

function(tralvo_add_gtest name)
    cmake_parse_arguments(ARG "QT" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES} ${CMAKE_SOURCE_DIR}/tests/support/TestConfigHome.cpp)
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest)
    if(ARG_QT)
        target_sources(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support/QtTestMain.cpp)
        target_link_libraries(${name} PRIVATE Qt6::Widgets Qt6::Test)
    else()
        target_link_libraries(${name} PRIVATE GTest::gmock_main)
    endif()
    set(env "XDG_CONFIG_HOME=${CMAKE_BINARY_DIR}/test-home/${name}"
            "QT_QPA_PLATFORM=offscreen"
            "TRALVO_BUILD_DIR=${CMAKE_BINARY_DIR}")
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        PROPERTIES ENVIRONMENT "${env}" TIMEOUT 120)
endfunction()
