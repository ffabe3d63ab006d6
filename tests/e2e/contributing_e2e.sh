#!/usr/bin/env bash
# The commands of CONTRIBUTING.md work as written: each is found there word for word and run here, on the
# build this test belongs to (the guide's build/test). Its first command, the whole test command, is what
# .ci/run runs. A window test started without a display says that it needs one.
# Usage: contributing_e2e.sh BINARY BUILD_DIR
source "$(dirname "$0")/harness.sh"
e2e_setup "$1" "$2"
root=$(realpath "$(dirname "$0")/../..")
guide="$root/CONTRIBUTING.md"

# Fails unless the guide shows the command as a line of its own.
written() {
    grep -qxF "    $1" "$guide" || e2e_fail "CONTRIBUTING.md does not show: $1"
}
# Runs commands of the guide one after the other in one shell, from the top folder of the tree, on this
# test's build; their output in $E2E_ROOT/run.txt.
run_written() {
    local script="" command
    for command in "$@"; do
        written "$command"
        script+="${command//build\/test/$E2E_BUILD} && "
    done
    (cd "$root" && eval "$script true") >"$E2E_ROOT/run.txt" 2>&1 \
        || { tail -n 40 "$E2E_ROOT/run.txt" >&2; e2e_fail "failed as written: $*"; }
}

written "bash scripts/test.sh"
grep -qx "bash scripts/test.sh" "$root/.ci/run" || e2e_fail ".ci/run does not run the test command"

# The formatting command, on a small tree of its own with one file that does not follow .clang-format.
written "bash scripts/check-format.sh --fix"
scratch="$E2E_ROOT/format"
mkdir -p "$scratch/scripts" "$scratch/source"
cp "$root/scripts/check-format.sh" "$scratch/scripts/"
cp "$root/.clang-format" "$scratch/"
printf 'int  main( ){return 0;}\n' >"$scratch/source/main.cpp"
if (cd "$scratch" && bash scripts/check-format.sh) >/dev/null 2>&1; then
    e2e_fail "the format check passes a file that does not follow .clang-format"
fi
(cd "$scratch" && bash scripts/check-format.sh --fix)
(cd "$scratch" && bash scripts/check-format.sh) || e2e_fail "the file does not follow .clang-format after --fix"

run_written "cmake --build build/test -j4"

run_written "source scripts/test-env.sh" \
    "bash scripts/with-display.sh ctest --test-dir build/test -R '^ConfigTest\.' --output-on-failure"
grep -qE "^100% tests passed, 0 tests failed out of [1-9]" "$E2E_ROOT/run.txt" \
    || e2e_fail "the suite's tests did not run"

run_written "build/test/tests/quillmere_tests --gtest_filter='ConfigTest.LoadWithAnEmptyNameReusesTheLastName'"
grep -qF "[  PASSED  ] 1 test." "$E2E_ROOT/run.txt" || e2e_fail "the one test did not run"

if env -u DISPLAY "$E2E_BUILD/tests/quillmere_gl_tests" --gtest_filter='StartedGame.OpensItsWindowOnTheMainMenu' \
    >"$E2E_ROOT/run.txt" 2>&1; then
    e2e_fail "a window test passed without a display"
fi
grep -qF "These window tests need an X display, and cannot open the X display: DISPLAY is not set." \
    "$E2E_ROOT/run.txt" || e2e_fail "a window test without a display does not say that it needs one"

# The debugger: the game's working folder is a copy of build/test/demo with the program beside it.
written "cd build/test/demo"
written "gdb -ex run --args ../quillmere"
[[ -f "$E2E_BUILD/demo/plugins.cfg" && -x "$E2E_BUILD/quillmere" ]] || e2e_fail "no game in build/test/demo"
ln -s "$E2E_BINARY" "$E2E_ROOT/quillmere"
(cd "$E2E_GAME" && HOME="$E2E_HOME" exec gdb -ex run --args ../quillmere) </dev/null >"$E2E_ROOT/output.txt" 2>&1 &
E2E_PID=$!
e2e_wait_window gdb
e2e_close_window
e2e_wait_exit 120
grep -q "exited normally" "$E2E_ROOT/output.txt" || e2e_fail "the game under gdb did not end normally"
echo "contributing: passed"
