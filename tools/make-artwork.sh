#!/usr/bin/env bash
# Rebuilds the client's pictures: builds tools/artwork on its own and writes every picture
# into resources/ (message box and main window button faces under resources/forms/, the main
# window skins under resources/install/resource/image/).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${ARTWORK_BUILD_DIR:-$root/build/artwork}"

cmake -S "$root/tools/artwork" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target parvelo_artwork
"$build/parvelo_artwork" "$root/resources"
echo "pictures written under $root/resources"
