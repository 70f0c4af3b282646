#!/usr/bin/env bash
# Rebuilds the client's start-up movie: builds tools/swf on its own and writes the movie to
# resources/install/resource/flash/splash.swf, which is installed beside the program; and the
# demo platform's lesson movie, demo/platform/media/lesson.swf.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${SWF_BUILD_DIR:-$root/build/swf}"
movie="$root/resources/install/resource/flash/splash.swf"
lesson="$root/demo/platform/media/lesson.swf"

cmake -S "$root/tools/swf" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target parvelo_swf
"$build/parvelo_swf" "$movie"
"$build/parvelo_swf" --lesson "$lesson"
echo "movies written to $movie and $lesson"
