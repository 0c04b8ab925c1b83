# SPDX-License-Identifier: GPL-3.0-or-later
# pinvel_add_test(NAME n SOURCES ... [LIBS ...] [LABELS ...] [GUI])
# A Qt Test executable registered with ctest. GUI tests run headless.
function(pinvel_add_test)
    cmake_parse_arguments(T "GUI" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    if(PINVEL_SANITIZE MATCHES "thread")
        target_sources(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/TsanQtSuppressions.cpp)
    endif()
    target_link_libraries(${T_NAME} PRIVATE Qt6::Test ${T_LIBS})
    target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
    pinvel_warnings(${T_NAME})
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    # Each test's records (and whatever else goes to the data folder) in a folder of its own in
    # the build, never in the user's home.
    # One language whatever the machine's: the program and its tools speak Russian unless a test
    # asks for English (LC_ALL=C.UTF-8 is no English locale).
    set(_env "QT_QPA_PLATFORM=offscreen" "LC_ALL=C.UTF-8"
             "PINVEL_TEST_DATA=${PROJECT_SOURCE_DIR}/data"
             "PINVEL_BIN_DIR=${CMAKE_BINARY_DIR}/bin"
             "XDG_DATA_HOME=${CMAKE_BINARY_DIR}/test-data/${T_NAME}")
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABELS}" ENVIRONMENT "${_env}"
                         TIMEOUT ${T_TIMEOUT})
endfunction()
