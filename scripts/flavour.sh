# Sourced by every script: which build of the wizard this machine runs. The product is a 32-bit
# program; where the kernel does not run 32-bit x86 programs (no IA-32 emulation), 32-bit Wine
# cannot start, and the x86_64 build of the same sources runs under 64-bit Wine instead.
# It needs nothing but the shell: the package installer asks it what to install. Sets
#   WIZARD_FLAVOUR         i686 (the PE32 under 32-bit Wine) or x86_64 (under 64-bit Wine);
#                          one already set, as the build sets it for the tests, is kept
#   WIZARD_FLAVOUR_REASON  why, in words
#   WIZARD_FLAVOUR_BUILD   what runs, in words
#   WIZARD_RUN_BUILD       the build directory of that flavour, below the repository
# WIZARD_NO_I386=1 makes the probe answer "cannot", as on a machine without IA-32 emulation.

# write_exit_program FILE [MACHINE]: a static 32-bit ELF program that only exits with status
# 42 (mov ebx, 42; mov eax, 1; int 0x80). MACHINE is its e_machine byte in octal: 003, i386.
write_exit_program() {
    printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000\002\000\'"${2:-003}"'\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010\140\000\000\000\140\000\000\000\005\000\000\000\000\020\000\000\273\052\000\000\000\270\001\000\000\000\315\200' >"$1"
    chmod +x "$1"
}

# program_runs FILE: the kernel ran FILE and it ended with status 42. A program the kernel
# refuses fails with "Exec format error"; the shell's fallback of reading it as a script
# never ends with 42.
program_runs() {
    probe_status=0
    "$1" >/dev/null 2>&1 </dev/null || probe_status=$?
    [ "$probe_status" = 42 ]
}

# i386_runs: this machine's kernel runs an i386 program (or WIZARD_NO_I386=1 says it does not).
# Fails with a message when the temporary directory cannot run programs at all.
i386_runs() {
    [ "${WIZARD_NO_I386:-0}" = 1 ] && return 1
    probe_dir=$(mktemp -d "${TMPDIR:-/tmp}/i386-probe.XXXXXX")
    printf '#!/bin/sh\nexit 42\n' >"$probe_dir/control"
    chmod +x "$probe_dir/control"
    write_exit_program "$probe_dir/i386"
    probe=1
    if ! program_runs "$probe_dir/control"; then
        echo "flavour.sh: $probe_dir cannot run programs; set TMPDIR to a directory that can" >&2
        probe=2
    elif program_runs "$probe_dir/i386"; then
        probe=0
    fi
    rm -rf "$probe_dir"
    [ "$probe" != 2 ] || exit 2
    return "$probe"
}

if [ -z "${WIZARD_FLAVOUR:-}" ]; then
    if i386_runs; then
        WIZARD_FLAVOUR=i686
        WIZARD_FLAVOUR_REASON="this machine runs 32-bit programs"
    elif [ "${WIZARD_NO_I386:-0}" = 1 ]; then
        WIZARD_FLAVOUR=x86_64
        WIZARD_FLAVOUR_REASON="WIZARD_NO_I386=1 fakes a machine that cannot run 32-bit programs"
    else
        WIZARD_FLAVOUR=x86_64
        WIZARD_FLAVOUR_REASON="this machine cannot run 32-bit programs (its kernel refuses them)"
    fi
fi
case $WIZARD_FLAVOUR in
    i686)
        WIZARD_RUN_BUILD=build
        WIZARD_FLAVOUR_BUILD="the product, the PE32 build, under 32-bit Wine" ;;
    x86_64)
        WIZARD_RUN_BUILD=build-x64
        WIZARD_FLAVOUR_BUILD="the x86_64 build of the same sources under 64-bit Wine" ;;
    *) echo "flavour.sh: WIZARD_FLAVOUR is i686 or x86_64, not '$WIZARD_FLAVOUR'" >&2; exit 2 ;;
esac
: "${WIZARD_FLAVOUR_REASON:=WIZARD_FLAVOUR=$WIZARD_FLAVOUR was given}"
export WIZARD_FLAVOUR WIZARD_FLAVOUR_REASON WIZARD_FLAVOUR_BUILD
