#!/usr/bin/env bash
# Installs what is missing, builds, and starts Ambrolux on the example worksheet.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh --target ambrolux
exec ./build/ambrolux "${1:-examples/shaft-diameters.amx}"
