#!/bin/bash
# The Wine environment of every program the build runs, sourced by
# wine-run.sh and session.sh:
#   vestar_wine_env <prefix>   exports it for the build's prefix
vestar_wine_env() {
    export WINEPREFIX="$1"
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
    export LANG=ru_RU.UTF-8 # the clinics: a Russian Windows, code pages 1251 and 866
    unset LC_ALL
    export HOME="${WINEPREFIX%/}.home"
    mkdir -p "$HOME"
}
