# Sourced by the scripts that start Wine: where Debian's wine64 and wine32 packages put Wine's
# loaders and server (scripts/install-deps.sh installs them). The one place they are named; set the
# variables beforehand to use another Wine.
TAVREL_WINE64=${TAVREL_WINE64:-/usr/lib/wine/wine64}
TAVREL_WINE32=${TAVREL_WINE32:-/usr/lib/wine/wine}
TAVREL_WINESERVER=${TAVREL_WINESERVER:-/usr/lib/wine/wineserver}
export TAVREL_WINE64 TAVREL_WINE32 TAVREL_WINESERVER
