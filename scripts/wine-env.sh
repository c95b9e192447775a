# wine-env.sh: sourced (never run) by the scripts that start Wine
# (make-prefix.sh, wine-run.sh, demo.sh).  The one place that says how Wine
# runs here and the one Xvfb start.
# shellcheck shell=bash

# wine_env PREFIX: the route scripts/wine-route.sh chose (under emulation it
# preloads the library that mends qemu's signal contexts), the prefix, no
# Wine debug output unless WINEDEBUG asks for it, and no prompt to install
# Mono or Gecko.
wine_env() {
    local route_env
    route_env=$(dirname "${BASH_SOURCE[0]}")/../build/wine-route.env
    # shellcheck disable=SC1090
    if [ -f "$route_env" ]; then . "$route_env"; fi
    export WINEPREFIX=$1
    export WINEDEBUG=${WINEDEBUG:--all}
    export WINEDLLOVERRIDES="mscoree,mshtml="
}

# start_xvfb DIR: an Xvfb display of its own, its number written to
# DIR/display and its output to DIR/xvfb.log.  Sets xvfb_pid and exports
# DISPLAY; returns 1, with the log on stdout, when the server ends or gives
# no display within 10 s.  Started without WINEPREFIX: it is not the prefix's,
# a prefix's teardown leaves it, and stop_xvfb stops it by its PID.
start_xvfb() {
    env -u WINEPREFIX Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp \
        3>"$1/display" >"$1/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$1/display" ] && break
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    if [ ! -s "$1/display" ]; then
        cat "$1/xvfb.log"
        return 1
    fi
    DISPLAY=:$(head -n1 "$1/display")
    export DISPLAY
}

stop_xvfb() {
    [ -n "${xvfb_pid:-}" ] || return 0
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    return 0
}
