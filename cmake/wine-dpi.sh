# Sourced: sets the screen dpi of the Wine prefix named by WINEPREFIX, and puts
# the earlier setting back. Wine reads it from the registry when a process
# starts, so only programs started in between see it. WINE is the loader
# that runs a Windows program with that prefix (see wine-env.sh).

dpi_key='HKCU\Control Panel\Desktop'
previous_dpi=""

set_wine_dpi() {
    # No value yet is the usual case: the query fails, and there is nothing
    # to put back but the absence.
    previous_dpi=$({ "$WINE" reg query "$dpi_key" /v LogPixels 2>/dev/null || true; } |
                   awk '$1 == "LogPixels" {print $3}' | tr -d '\r')
    "$WINE" reg add "$dpi_key" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
}

restore_wine_dpi() {
    if [ -n "$previous_dpi" ]; then
        "$WINE" reg add "$dpi_key" /v LogPixels /t REG_DWORD /d "$((previous_dpi))" /f >/dev/null 2>&1
    else
        "$WINE" reg delete "$dpi_key" /v LogPixels /f >/dev/null 2>&1 || true
    fi
}
