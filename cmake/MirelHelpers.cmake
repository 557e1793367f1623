# mirel_add_library(name SOURCES ... DEPENDS ...): one library per subsystem folder.
function(mirel_add_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
endfunction()

# mirel_add_gtest(name SOURCES ... DEPENDS ...): one GoogleTest binary per area,
# cases found by gtest_discover_tests and run on Qt's offscreen platform.
function(mirel_add_gtest name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} GTest::gtest GTest::gmock mirel_testsupport)
    target_compile_definitions(${name} PRIVATE
        MIREL_SOURCE_DIR="${PROJECT_SOURCE_DIR}" MIREL_BIN_DIR="${MIREL_BIN_DIR}")
    gtest_discover_tests(${name}
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
        DISCOVERY_TIMEOUT 60)
endfunction()

# mirel_add_qtest(name SOURCES ... DEPENDS ...): a Qt Test executable for a window.
function(mirel_add_qtest name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} Qt6::Test)
    target_compile_definitions(${name} PRIVATE
        MIREL_SOURCE_DIR="${PROJECT_SOURCE_DIR}" MIREL_BIN_DIR="${MIREL_BIN_DIR}")
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
