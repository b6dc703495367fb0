#!/usr/bin/env bash
# Installs what is missing, builds the programs, and starts ZARV. The program
# makes its databases and settings in your data and config folders on first start.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/setup-deps.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZARV_BUILD_TESTS=OFF >/dev/null
cmake --build build -j "$(nproc)" --target zarv_runtime

exec build/bin/zarv "$@"
