# Included by a Windows preset: builds the test programs in a nested build (tests/windows/CMakeLists.txt,
# other compilers, so another CMake build) and registers each of their GoogleTest cases as a CTest
# test that runs under Wine.
include(ExternalProject)
include(GoogleTest)

set(_programs ${PROJECT_BINARY_DIR}/test-programs)
ExternalProject_Add(test_programs
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${_programs}
    CMAKE_ARGS
        -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
        -DTAVREL_MINGW_THREADS=posix
        -DTAVREL_TEST_PROGRAMS=ON
        -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
        -DTAVREL_WERROR=${TAVREL_WERROR}
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    BUILD_BYPRODUCTS ${_programs}/windows_inprocess.exe ${_programs}/windows_e2e.exe ${_programs}/cli_e2e.exe
        ${_programs}/windows_save.exe ${_programs}/windows_save_unprivileged.exe)

# Every Windows program a test runs goes through wine-run.sh.
set(_emulator ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)

# Registers the cases of one test program, found by running it when CTest starts. The 32-bit cases
# need a kernel that runs 32-bit code: where it does not, they are one skipped test giving the reason.
# EMULATOR names a wrapper of wine-run.sh that runs the program instead.
function(tavrel_add_wine_tests program prefix)
    cmake_parse_arguments(PARSE_ARGV 2 _arg "" "EMULATOR" "")
    if(NOT _arg_EMULATOR)
        set(_arg_EMULATOR ${_emulator})
    endif()
    add_executable(${program} IMPORTED)
    set_target_properties(${program} PROPERTIES
        IMPORTED_LOCATION ${_programs}/${program}.exe
        CROSSCOMPILING_EMULATOR "${_arg_EMULATOR}")
    gtest_discover_tests(${program}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 120
        TEST_PREFIX ${prefix}
        ${_arg_UNPARSED_ARGUMENTS})
    if(NOT CMAKE_SIZEOF_VOID_P EQUAL 4)
        return()
    endif()
    get_property(_includes DIRECTORY PROPERTY TEST_INCLUDE_FILES)
    list(POP_BACK _includes _discovery)
    set(_guard ${CMAKE_CURRENT_BINARY_DIR}/${program}_if_32bit.cmake)
    set(_check ${PROJECT_SOURCE_DIR}/scripts/can-run-32bit.sh)
    file(WRITE ${_guard}
        "execute_process(COMMAND ${_check} RESULT_VARIABLE _status OUTPUT_QUIET)\n"
        "if(_status EQUAL 0)\n"
        "    include(\"${_discovery}\")\n"
        "else()\n"
        "    add_test(${prefix}${program}.skipped ${_check} --as-skipped-test)\n"
        "    set_tests_properties(${prefix}${program}.skipped PROPERTIES SKIP_RETURN_CODE 77)\n"
        "endif()\n")
    set_property(DIRECTORY PROPERTY TEST_INCLUDE_FILES ${_includes} ${_guard})
endfunction()

tavrel_add_wine_tests(windows_inprocess inprocess.
    PROPERTIES TIMEOUT 300 LABELS inprocess)
# One keyboard and one foreground window: the cases cannot share the display, which is why the
# Windows test presets run one test at a time.
tavrel_add_wine_tests(windows_e2e e2e.
    EXTRA_ARGS $<TARGET_FILE:Tavrel>
    PROPERTIES TIMEOUT 180 LABELS e2e)
tavrel_add_wine_tests(cli_e2e cli.
    EXTRA_ARGS $<TARGET_FILE:tavrelctl>
    PROPERTIES TIMEOUT 120 LABELS cli)

# The save under real failures. What Wine cannot make (links, a FIFO, a small disk, root's files for
# the user nobody, nobody's Wine prefix) is made before the cases run, in this build's folder, and
# removed after them; the cases find it through Wine's drive Z:, the Unix root.
set(_save_scripts ${CMAKE_CURRENT_LIST_DIR}/save)
set(_save_fixtures ${PROJECT_BINARY_DIR}/save-fixtures)
add_test(NAME save.prepare COMMAND ${_save_scripts}/prepare.sh ${_save_fixtures})
add_test(NAME save.cleanup COMMAND ${_save_scripts}/prepare.sh --cleanup ${_save_fixtures})
set_tests_properties(save.prepare PROPERTIES FIXTURES_SETUP save TIMEOUT 60 LABELS save)
set_tests_properties(save.cleanup PROPERTIES FIXTURES_CLEANUP save LABELS save)
tavrel_add_wine_tests(windows_save save.
    PROPERTIES TIMEOUT 120 LABELS save FIXTURES_REQUIRED save ENVIRONMENT TAVREL_SAVE_FIXTURES=Z:${_save_fixtures})

set(_nobody_fixtures ${PROJECT_BINARY_DIR}/save-fixtures-nobody)
set(_nobody_home ${PROJECT_BINARY_DIR}/nobody-home)
add_test(NAME save.prepare_nobody COMMAND ${_save_scripts}/prepare-nobody.sh ${_nobody_fixtures} ${_nobody_home})
add_test(NAME save.cleanup_nobody COMMAND ${_save_scripts}/prepare-nobody.sh --cleanup ${_nobody_fixtures})
set_tests_properties(save.prepare_nobody PROPERTIES FIXTURES_SETUP save_nobody TIMEOUT 300 LABELS save)
set_tests_properties(save.cleanup_nobody PROPERTIES FIXTURES_CLEANUP save_nobody LABELS save)
tavrel_add_wine_tests(windows_save_unprivileged save.
    EMULATOR "${_save_scripts}/run-as-nobody.sh;${_nobody_home}"
    PROPERTIES TIMEOUT 120 LABELS save FIXTURES_REQUIRED save_nobody
        ENVIRONMENT TAVREL_SAVE_FIXTURES=Z:${_nobody_fixtures})
