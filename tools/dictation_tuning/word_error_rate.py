#!/usr/bin/env python3
"""tools/dictation_tuning/word_error_rate.py <folder> < transcribe-output: the word error
rate (and the decoding's real-time factor in CPU time) of voicepipe_transcribe's lines against
the <n>.txt files beside the recordings, one line per recording with its errors, then the
totals."""
import os
import re
import sys


def words(text):
    return re.sub(r"[^a-z' ]", " ", text.lower()).split()


def distance(reference, hypothesis):
    row = list(range(len(hypothesis) + 1))
    for i, word in enumerate(reference, 1):
        previous, row[0] = row[0], i
        for j, guess in enumerate(hypothesis, 1):
            previous, row[j] = row[j], min(row[j] + 1, row[j - 1] + 1,
                                           previous + (word != guess))
    return row[-1]


def main():
    errors = total = 0
    audio_seconds = cpu_seconds = 0.0
    for line in sys.stdin:
        path, seconds, first_partial, final_delay, cpu, text = (
            line.rstrip("\n").split("\t") + [""])[:6]
        with open(os.path.splitext(path)[0] + ".txt") as reference_file:
            reference = words(reference_file.read())
        wrong = distance(reference, words(text))
        errors += wrong
        total += len(reference)
        audio_seconds += float(seconds)
        cpu_seconds += float(cpu)
        print(f"{os.path.basename(path)}\t{wrong}/{len(reference)}\t{first_partial}\t"
              f"{final_delay}\t{cpu}\t{text}")
    print(f"WER {100.0 * errors / max(total, 1):.1f} % ({errors}/{total}); decoding CPU per "
          f"second of audio {cpu_seconds / max(audio_seconds, 1e-9):.3f}")

if __name__ == "__main__":
    main()
