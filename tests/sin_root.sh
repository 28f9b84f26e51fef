#!/bin/sh
# Runs a test as nobody when started as root (root writes to read-only files,
# so the read-only cases only mean something without it); otherwise as it is.
# Usage: sin_root.sh <data folder> <test binary> [test functions...]
datos=$1
shift
[ "$(id -u)" = 0 ] || exec "$@"
# The checkout may sit in a folder only root can enter: the test and the
# project's data go to a folder of their own that everyone can read.
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cp "$1" "$tmp/" && cp -r "$datos" "$tmp/datos" && chmod -R a+rX "$tmp" || exit 1
prueba="$tmp/$(basename "$1")"
shift
setpriv --reuid=65534 --regid=65534 --clear-groups env HUERTA_DATOS="$tmp/datos" "$prueba" "$@"
