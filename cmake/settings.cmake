# Compile settings every target of the project shares.
add_library(QuorLims_settings INTERFACE)
target_compile_definitions(QuorLims_settings INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_CONTEXTLESS_CONNECT
    QT_NO_FOREACH
    QT_USE_QSTRINGBUILDER)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(QuorLims_settings INTERFACE
        -Wall -Wextra -Wpedantic -Wold-style-cast -Woverloaded-virtual -Wnon-virtual-dtor)
    if(LIMS_WERROR)
        target_compile_options(QuorLims_settings INTERFACE -Werror)
    endif()
endif()

# lims_add_test(NAME SOURCES src... LIBS lib... [DISPLAY])
# Without DISPLAY the test runs on the offscreen platform; with it, on the X server the test
# script provides (Xvfb with a window manager), one at a time.
function(lims_add_test name)
    cmake_parse_arguments(ARG "DISPLAY" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE QuorLims_settings Qt6::Test ${ARG_LIBS})
    add_test(NAME ${name} COMMAND ${name})
    if(ARG_DISPLAY)
        set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE
            ENVIRONMENT "QT_QPA_PLATFORM=xcb")
    else()
        set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
    endif()
endfunction()
