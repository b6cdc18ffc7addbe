#!/bin/sh
# Runs a test program as a user whom permissions bind: as "nobody" when the tests run as root
# (as in CI), else as the user running them. The program is copied to a folder that user can
# reach, since a checkout under a closed home folder cannot be entered by "nobody".
set -eu
if [ "$(id -u)" != 0 ]; then
    exec "$@"
fi
program=$1
shift
dir=$(mktemp -d /tmp/tavik-unprivileged.XXXXXX)
trap 'rm -rf "$dir"' EXIT
cp "$program" "$dir/"
chmod 755 "$dir" "$dir/$(basename "$program")"
setpriv --reuid=65534 --regid=65534 --clear-groups env TMPDIR=/tmp HOME="$dir" \
    "$dir/$(basename "$program")" "$@"
