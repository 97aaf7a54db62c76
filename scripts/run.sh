#!/bin/sh
# Starts Zelvitor from the build folder.
set -e
BUILD="$1"
exec "$BUILD/app/zelvitor"
