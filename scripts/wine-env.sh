# Sourced by the scripts that run Wine: a quiet 32-bit Wine that offers no downloads.
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
