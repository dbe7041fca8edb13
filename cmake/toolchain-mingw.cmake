# Cross-compiling for Windows with MinGW-w64. The including file sets TAVREL_MINGW_ARCH.
# TAVREL_MINGW_THREADS picks the compilers' thread model: win32 (the default, the shipped programs)
# or posix, whose C++ runtime has std::mutex; GoogleTest needs it, so the test programs use it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${TAVREL_MINGW_ARCH})
set(_prefix ${TAVREL_MINGW_ARCH}-w64-mingw32)
if(NOT TAVREL_MINGW_THREADS)
    set(TAVREL_MINGW_THREADS win32)
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TAVREL_MINGW_THREADS)

find_program(CMAKE_C_COMPILER NAMES ${_prefix}-gcc-${TAVREL_MINGW_THREADS})
find_program(CMAKE_CXX_COMPILER NAMES ${_prefix}-g++-${TAVREL_MINGW_THREADS})
find_program(CMAKE_RC_COMPILER NAMES ${_prefix}-windres)
foreach(_tool CMAKE_C_COMPILER CMAKE_CXX_COMPILER CMAKE_RC_COMPILER)
    if(NOT ${_tool})
        message(FATAL_ERROR "${_prefix}: ${_tool} not found; install g++-mingw-w64")
    endif()
endforeach()

set(CMAKE_FIND_ROOT_PATH /usr/${_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
