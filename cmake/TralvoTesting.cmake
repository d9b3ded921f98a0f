# tralvo_add_gtest(<name> SOURCES <files...> LIBS <targets...> [QT] [LABELS <labels...>]
#                  [SLOW_TESTS <filter>])
# Builds one GoogleTest program and registers its tests with CTest. Every test runs with
# its own settings folder (TestConfigHome.cpp), so none reads or writes
# real settings or another test's. Programs that run in real time against tralvo-sim carry
# LABELS slow, so that a quick run can leave them out (ctest -LE slow). A program with only a
# few such tests among quick ones names them in SLOW_TESTS, a GoogleTest filter
# ("Suite.Test:Other.*"), and only those carry the label.
# A Windows cross-build compiles GoogleTest from its sources (TRALVO_GTEST_SOURCE_DIR) with
# the cross compiler, and runs the programs under Wine (scripts/test-windows-core) rather
# than through CTest's discovery.
include(GoogleTest)
if(CMAKE_CROSSCOMPILING AND WIN32)
    set(TRALVO_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(${TRALVO_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    # The cross programs carry the MinGW runtime in themselves, so Wine needs no DLL path.
    add_link_options(-static)
else()
    find_package(GTest REQUIRED)
endif()

function(tralvo_add_gtest name)
    cmake_parse_arguments(ARG "QT" "SLOW_TESTS" "SOURCES;LIBS;LABELS" ${ARGN})
    if(WIN32)
        # The per-process settings folder is an XDG one; the Windows core reads no settings.
        add_executable(${name} ${ARG_SOURCES})
        target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support)
        target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gmock_main)
        add_test(NAME ${name} COMMAND ${name})
        if(ARG_LABELS)
            set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
        endif()
        return()
    endif()
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
    # An empty filter takes every test.
    set(quick_filter "")
    if(ARG_SLOW_TESTS)
        set(quick_filter "-${ARG_SLOW_TESTS}")
    endif()
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        TEST_FILTER "${quick_filter}"
        PROPERTIES ENVIRONMENT "${env}" TIMEOUT 120 LABELS "${ARG_LABELS}")
    if(ARG_SLOW_TESTS)
        set(slow_labels ${ARG_LABELS} slow)
        gtest_discover_tests(${name}
            DISCOVERY_MODE PRE_TEST
            TEST_FILTER "${ARG_SLOW_TESTS}"
            PROPERTIES ENVIRONMENT "${env}" TIMEOUT 120 LABELS "${slow_labels}")
    endif()
endfunction()
