# Warnings, sanitizers and fuzzing instrumentation for our own code only (dependencies stay system headers).
add_library(quillmere_flags INTERFACE)
target_compile_options(quillmere_flags INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor)
if(QUILLMERE_WERROR)
    target_compile_options(quillmere_flags INTERFACE -Werror)
endif()

if(QUILLMERE_SANITIZE)
    set(QUILLMERE_SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_compile_options(quillmere_flags INTERFACE ${QUILLMERE_SANITIZERS})
    target_link_options(quillmere_flags INTERFACE ${QUILLMERE_SANITIZERS})
    # The sanitized programs are the test programs, started over a thousand times a run: as position-dependent
    # programs they need none of the two million relocations a position-independent one applies at each start.
    target_link_options(quillmere_flags INTERFACE -no-pie)
endif()

# LLVM's linker links the large debug programs several times faster than the default one.
find_program(QUILLMERE_LLD ld.lld)
if(QUILLMERE_LLD)
    target_link_options(quillmere_flags INTERFACE -fuse-ld=lld)
endif()

if(QUILLMERE_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "QUILLMERE_FUZZ needs clang (CXX=clang++)")
    endif()
    # Coverage for the fuzzers; the fuzzer runtime itself is linked into the fuzz targets alone.
    target_compile_options(quillmere_flags INTERFACE -fsanitize=fuzzer-no-link)
endif()
