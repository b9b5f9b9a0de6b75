#!/usr/bin/env bash
# tools/dictation_tuning/synthesise.sh <sentences.txt> <folder>: one spoken recording per line
# of the file, the way the live recogniser is tuned and measured: espeak-ng (en-us+klatt4, 175
# words a minute) at 16 kHz, peaks at -15 dBFS, 0.5 s of silence either side, over a pink noise
# floor of about -64 dBFS RMS. Writes <n>.wav, <n>.f32 (raw float samples) and <n>.txt (the words).
set -euo pipefail
sentences=$1
folder=$2
mkdir -p "$folder"
number=0
while IFS= read -r sentence; do
  [ -n "$sentence" ] || continue
  number=$((number + 1))
  base=$folder/$(printf '%02d' "$number")
  espeak-ng -v en-us+klatt4 -s 175 -w "$base.raw.wav" "$sentence"
  sox "$base.raw.wav" -r 16000 -c 1 -b 16 "$base.speech.wav" gain -n -15 pad 0.5 0.5
  seconds=$(soxi -D "$base.speech.wav")
  sox -n -r 16000 -c 1 -b 16 "$base.noise.wav" synth "$seconds" pinknoise gain -n -51
  # -v 1 on each input: sox -m would otherwise halve both.
  sox -m -v 1 "$base.speech.wav" -v 1 "$base.noise.wav" "$base.wav"
  sox "$base.wav" -e floating-point -b 32 -t raw "$base.f32"
  printf '%s\n' "$sentence" >"$base.txt"
  rm "$base.raw.wav" "$base.speech.wav" "$base.noise.wav"
done <"$sentences"
