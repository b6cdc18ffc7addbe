#!/usr/bin/env bash
# Starts a headless weston with XWayland and runs the session checks in it: X chosen when both
# are there, Wayland alone usable. Exits 77 (skipped) where weston or its X server is missing.
set -u
check="$1"
command -v weston >/dev/null || { echo "weston is not installed"; exit 77; }
command -v Xwayland >/dev/null || { echo "Xwayland is not installed"; exit 77; }
ls /usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so >/dev/null 2>&1 ||
    { echo "Qt's Wayland platform (qt6-wayland) is not installed"; exit 77; }

runtime=$(mktemp -d /tmp/tavik-session.XXXXXX)
chmod 700 "$runtime"
export XDG_RUNTIME_DIR="$runtime"
socket=tavik-$$
log="$runtime/weston.log"
weston --backend=headless-backend.so --socket="$socket" --xwayland --idle-time=0 \
    --width=1280 --height=1024 >"$log" 2>&1 &
weston_pid=$!
trap 'kill $weston_pid 2>/dev/null; wait $weston_pid 2>/dev/null; rm -rf "$runtime"' EXIT

display=""
for _ in $(seq 100); do
    display=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$log")
    [ -n "$display" ] && [ -S "$runtime/$socket" ] && break
    if ! kill -0 $weston_pid 2>/dev/null; then
        echo "weston could not start here:"; cat "$log"; exit 77
    fi
    sleep 0.1
done
if [ -z "$display" ]; then
    echo "weston started no X server:"; cat "$log"; exit 77
fi

export WAYLAND_DISPLAY="$socket" DISPLAY="$display" XDG_SESSION_TYPE=wayland
unset QT_QPA_PLATFORM QT_SCALE_FACTOR
status=0
timeout 60 "$check" x || status=1
timeout 60 "$check" wayland || status=1
exit $status
