# The environment the tests run in, for scripts/test.sh and for running single tests by hand:
#     source scripts/test-env.sh
# Values already set are kept.
# alloc_dealloc_mismatch is off: OGRE 1.12.10 frees codec pixels with delete[] that its STBI codec took
# with malloc.
# intercept_tls_get_addr is off: clang 14's leak checker reads a made-up block size in front of some
# dynamic TLS blocks of glibc 2.36 and crashes on it now and then ("Tracer caught signal 11") while Mesa is
# loaded; without the interception it scans static TLS only, where the GL libraries keep their state.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:alloc_dealloc_mismatch=0:intercept_tls_get_addr=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/tests/lsan.supp:print_suppressions=0}
export ALSOFT_DRIVERS=${ALSOFT_DRIVERS:-null}
# Mesa's software renderer starts a thread per core in every window test and game; many tests run at once.
export LP_NUM_THREADS=${LP_NUM_THREADS:-2}
