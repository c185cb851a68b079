# Sourced by the scripts that run the Windows build's programs under Wine:
#   . scripts/wine-null-prefix.sh PREFIX_FOLDER
# Makes (or reuses) the Wine configuration in PREFIX_FOLDER with Wine's null
# graphics driver, so windows are made and messaged as usual without X, and
# keeps its server running until the sourcing script ends: Wine's helper
# processes would otherwise be started by the first program and hold the
# callers' output pipes open after it ends. Sets WINEPREFIX and `run`, the
# program that runs a Windows program there (cmake/wine-run.sh).
export WINEPREFIX=$1
run=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/cmake/wine-run.sh
wineserver=/usr/lib/wine/wineserver64
[ -x "$wineserver" ] || wineserver=wineserver
mkdir -p "$WINEPREFIX"
"$wineserver" -p </dev/null >/dev/null 2>&1
trap '"$wineserver" -k >/dev/null 2>&1 || true' EXIT
"$run" wineboot --init </dev/null >/dev/null 2>&1
# The server started during wineboot keeps the driver it found, so it is
# started anew after the driver is set.
"$run" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1
"$wineserver" -k >/dev/null 2>&1 || true
"$wineserver" -w >/dev/null 2>&1 || true
"$wineserver" -p </dev/null >/dev/null 2>&1
# The new server's helper processes are started here, away from the callers' pipes.
"$run" wineboot </dev/null >/dev/null 2>&1
