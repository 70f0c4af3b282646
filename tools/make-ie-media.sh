#!/usr/bin/env bash
# Rebuilds the demo platform's Windows Media files in demo/platform/media/: two spoken listening
# exercises and a tone as WMA audio, and a short WMV video. Needs espeak-ng and ffmpeg.
set -euo pipefail

media="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/demo/platform/media"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

wma=(-ac 1 -ar 22050 -c:a wmav2 -b:a 32k)
espeak-ng -v en-us -s 140 -w "$work/exercise1.wav" "Question one. Listen to the dialogue. \
Man: Where are you going this weekend? Woman: I am going to visit my grandmother in the country."
espeak-ng -v en-us -s 140 -w "$work/exercise2.wav" "Question two. What does the woman want to \
buy? She wants to buy a new dictionary for her English class."
ffmpeg -loglevel error -y -i "$work/exercise1.wav" "${wma[@]}" "$media/exercise1.wma"
ffmpeg -loglevel error -y -i "$work/exercise2.wav" "${wma[@]}" "$media/exercise2.wma"
ffmpeg -loglevel error -y -f lavfi -i "sine=frequency=440:duration=6" "${wma[@]}" \
  "$media/tone.wma"
ffmpeg -loglevel error -y -f lavfi -i "testsrc=size=160x120:rate=10:duration=2" \
  -f lavfi -i "sine=frequency=660:duration=2" -c:v wmv2 -b:v 100k "${wma[@]}" \
  "$media/lesson.wmv"
echo "media written to $media"
