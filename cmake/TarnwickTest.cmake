# tarnwick_add_test(NAME name SOURCES ... LIBS ...)
# Each test runs offscreen with a private home, so no test can touch the user's
# real home, data folder or trash.
function(tarnwick_add_test)
    cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE Qt6::Test ${T_LIBS})
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    set(home ${CMAKE_BINARY_DIR}/test-home/${T_NAME})
    set_tests_properties(${T_NAME} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;HOME=${home};XDG_DATA_HOME=${home}/.local/share;XDG_CONFIG_HOME=${home}/.config;XDG_RUNTIME_DIR=${home}/run;XDG_CACHE_HOME=${home}/.cache"
        TIMEOUT 600)
    file(MAKE_DIRECTORY ${home}/run)
    file(CHMOD ${home}/run DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
endfunction()
