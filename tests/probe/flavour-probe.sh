#!/bin/sh
# The probe of scripts/flavour.sh in both directions: a program the kernel runs and one it
# refuses, the fake of a machine that cannot run 32-bit programs, and the probe's own answer
# against whether 32-bit Wine starts here.
set -u
flavour=$(cd "$(dirname "$0")/../../scripts" && pwd)/flavour.sh
WIZARD_FLAVOUR=i686 . "$flavour"   # the functions, without probing
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
failures=0
check() {
    if [ "$2" = "$3" ]; then echo "ok: $1: $2"; else echo "FAILED: $1: '$2', expected '$3'"; failures=$((failures + 1)); fi
}
answer() {
    printf '%s' "$(program_runs "$1" && echo runs || echo "does not run")"
}
# flavour.sh's decision in a shell of its own, with the given environment.
decision() {
    env -u WIZARD_FLAVOUR -u WIZARD_FLAVOUR_REASON -u WIZARD_NO_I386 "$@" \
        sh -c '. "$1" && echo "$WIZARD_FLAVOUR $WIZARD_RUN_BUILD: $WIZARD_FLAVOUR_REASON"' sh "$flavour"
}

printf '#!/bin/sh\nexit 42\n' >"$dir/runs"
printf '#!/bin/sh\nexit 0\n' >"$dir/ends-with-0"
chmod +x "$dir/runs" "$dir/ends-with-0"
write_exit_program "$dir/refused" 000   # an ELF program of no machine
check "a program the kernel runs" "$(answer "$dir/runs")" runs
check "a program that does not end as the probe's does" "$(answer "$dir/ends-with-0")" "does not run"
check "a program the kernel refuses" "$(answer "$dir/refused")" "does not run"
refusal=$(sh -c '"$1"' sh "$dir/refused" 2>&1)
check "the kernel's answer to it" "$(echo "$refusal" | grep -o 'Exec format error')" "Exec format error"

check "the fake" "$(decision WIZARD_NO_I386=1)" \
    "x86_64 build-x64: WIZARD_NO_I386=1 fakes a machine that cannot run 32-bit programs"
check "a flavour already given" "$(decision WIZARD_FLAVOUR=x86_64 WIZARD_FLAVOUR_REASON=given)" "x86_64 build-x64: given"

real=$(decision)
if [ -x /usr/lib/wine/wine ]; then
    wine32=x86_64
    /usr/lib/wine/wine --version >/dev/null 2>&1 && wine32=i686
    check "the probe here, against 32-bit Wine's start" "${real%% *}" "$wine32"
else
    echo "not compared: 32-bit Wine is not installed, so the probe's answer here ($real) has nothing to agree with"
fi
[ "$failures" = 0 ]
