# Cross-compiling for Windows with MinGW-w64. The including file sets TAVREL_MINGW_ARCH.
# The compilers of the posix thread model: their C++ runtime has std::mutex and std::thread, which
# GoogleTest needs, so the shipped programs and their test programs come from one compiler.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${TAVREL_MINGW_ARCH})
set(_prefix ${TAVREL_MINGW_ARCH}-w64-mingw32)

find_program(CMAKE_C_COMPILER NAMES ${_prefix}-gcc-posix)
find_program(CMAKE_CXX_COMPILER NAMES ${_prefix}-g++-posix)
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
