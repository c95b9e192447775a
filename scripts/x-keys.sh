#!/bin/bash
# x-keys.sh DIR
# Types keys into the X display ($DISPLAY) for a test program running under
# Wine: the program writes the keys, in xdotool's names ("Tab", "alt+n"),
# to DIR/request; this loop types them as real X key events and answers in
# DIR/done ("ok" or "failed").  Started and stopped by wine-run.sh.
set -u
dir=$1
mkdir -p "$dir"
while :; do
    if [ -f "$dir/request" ]; then
        keys=$(cat "$dir/request")
        rm -f "$dir/request"
        # shellcheck disable=SC2086 # one argument per key
        if xdotool key --delay 60 $keys; then echo ok >"$dir/done.tmp"; else echo failed >"$dir/done.tmp"; fi
        mv "$dir/done.tmp" "$dir/done"
    fi
    sleep 0.02
done
