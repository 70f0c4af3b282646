#!/usr/bin/env bash
# Rebuilds the client's pictures and its splash movie: builds tools/artwork on its own and
# writes every picture into resources/ (button faces and dialog pages under resources/forms/,
# skins, level-meter pictures and the ding under resources/install/, icons under
# resources/icons/), then the movie with tools/make-splash.sh.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${ARTWORK_BUILD_DIR:-$root/build/artwork}"

cmake -S "$root/tools/artwork" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target parvelo_artwork
"$build/parvelo_artwork" "$root/resources"
echo "pictures written under $root/resources"
"$root/tools/make-splash.sh"
