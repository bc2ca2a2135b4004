# Sourced by the scripts that run Wine (after they set top, the repository, or here, scripts/):
# a quiet Wine that offers no downloads, of the flavour this machine runs (flavour.sh): 32-bit
# Wine for the i686 build, 64-bit Wine in a 64-bit prefix for the x86_64 build.
. "${here:-$top/scripts}/flavour.sh"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if [ "$WIZARD_FLAVOUR" = x86_64 ]; then
    # Debian's wine, wineboot and the other launchers pick the 32-bit loader whenever it is
    # installed, even where the kernel cannot run it: the wine, wineboot and wineserver of
    # scripts/wine64 call the 64-bit ones directly, and Wine starts its own processes with them.
    export WINEARCH=win64
    export WINELOADER=/usr/lib/wine/wine64
    export WINESERVER=/usr/lib/wine/wineserver64
    PATH="$(cd "${here:-$top/scripts}" && pwd)/wine64:$PATH"
    export PATH
else
    export WINEARCH=win32
fi
