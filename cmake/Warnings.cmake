# Warnings every target of ours builds with; TAVREL_WERROR (on in CI and `make test`) makes them fatal.
add_library(tavrel_warnings INTERFACE)
target_compile_options(tavrel_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion -Wnon-virtual-dtor
    -Wold-style-cast -Wcast-align -Wunused -Woverloaded-virtual
    -Wdouble-promotion -Wformat=2 -Wimplicit-fallthrough
    $<$<CXX_COMPILER_ID:GNU>:-Wsuggest-override -Wduplicated-cond -Wlogical-op -Wuseless-cast>
    $<$<BOOL:${TAVREL_WERROR}>:-Werror>)
