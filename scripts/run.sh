#!/usr/bin/env bash
# Installs what is missing, builds mirex and starts it.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
cmake -S "$top" -B "$top/build/release" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMIREX_TESTS=OFF >/dev/null
cmake --build "$top/build/release" --target mirex
exec "$top/build/release/mirex" "$@"
