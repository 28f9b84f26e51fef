#!/bin/sh
# Runs a test as nobody when started as root (root writes to read-only files,
# so the read-only cases only mean something without it); otherwise as it is.
# Usage: sin_root.sh <data folder> <test binary> [test functions...]
datos=$1
shift
[ "$(id -u)" = 0 ] || exec "$@"
como="setpriv --reuid=65534 --regid=65534 --clear-groups"
if ! $como test -x "$1" -a -r "$datos"; then
  echo "nobody (65534) cannot run $1 or read $datos: the source and build folders must be readable by all" >&2
  exit 1
fi
exec $como "$@"
