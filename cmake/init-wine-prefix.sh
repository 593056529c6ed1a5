#!/bin/sh
# Creates the Wine prefix named by WINEPREFIX once, with the loader named by
# WINE (see wine-env.sh). Wine's own Marlett font is
# copied in, so that title-bar buttons show their symbols instead of letters.
set -e
if [ -f "$WINEPREFIX/system.reg" ]; then
    exit 0
fi
"$WINE" wineboot --init >/dev/null 2>&1
wineserver -w
for font in /usr/share/wine/fonts/marlett.ttf; do
    [ -f "$font" ] && cp "$font" "$WINEPREFIX/drive_c/windows/Fonts/"
done
exit 0
