#!/usr/bin/env python3
"""tools/dictation_tuning/live_trial.py <voicepipe> <folder>: dictates every <n>.wav of the
folder (made by synthesise.sh) live through a private PulseAudio daemon whose null sink's monitor
is the default source, over a pink noise floor, and prints per recording the errors, the time
from speech onset (the first "level" event loud enough for speech) to the first "partial", the
process's CPU time per second of audio and its peak memory, then the totals. The daemon lives in
a temporary folder and is stopped on every ending."""
import json
import os
import resource
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(__file__))
from word_error_rate import distance, words  # noqa: E402

# A level this high (about -45 dBFS RMS) is speech, not the noise floor.
SPEECH_LEVEL = 0.1


def start_daemon(runtime):
    socket = os.path.join(runtime, "native")
    env = dict(os.environ, XDG_RUNTIME_DIR=runtime, HOME=runtime, PULSE_SERVER="unix:" + socket)
    daemon = subprocess.Popen(
        ["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
         "--system=no", "-L", "module-null-sink sink_name=dictation rate=16000 channels=1",
         "-L", f"module-native-protocol-unix socket={socket} auth-anonymous=1"],
        env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    deadline = time.time() + 10
    while subprocess.run(["pactl", "info"], env=env, capture_output=True).returncode != 0:
        if time.time() > deadline or daemon.poll() is not None:
            raise RuntimeError("the private PulseAudio daemon did not start")
        time.sleep(0.1)
    subprocess.run(["pactl", "set-default-source", "dictation.monitor"], env=env, check=True)
    subprocess.run(["pactl", "set-default-sink", "dictation"], env=env, check=True)
    return daemon, env


def dictate(voicepipe, wav, env):
    """One session: voicepipe en-US 1.5 while the recording plays after "listening"."""
    process = subprocess.Popen([voicepipe, "en-US", "1.5"], env=env, stdin=subprocess.PIPE,
                               stdout=subprocess.PIPE, text=True)
    onset = first_partial = None
    player = None
    final = ""
    for line in process.stdout:
        now = time.monotonic()
        event = json.loads(line)
        if event.get("status") == "listening":
            player = subprocess.Popen(["paplay", "--latency-msec=20", wav], env=env)
        elif event.get("level", 0) >= SPEECH_LEVEL and onset is None:
            onset = now
        elif "partial" in event and first_partial is None and event["partial"]:
            first_partial = now
        elif "final" in event:
            final = event["final"]
    _, status, usage = os.wait4(process.pid, 0)
    if player:
        player.wait()
    latency = first_partial - onset if first_partial and onset else float("nan")
    cpu = usage.ru_utime + usage.ru_stime
    return final, latency, cpu, usage.ru_maxrss / 1024, os.waitstatus_to_exitcode(status)


def main():
    voicepipe, folder = sys.argv[1], sys.argv[2]
    runtime = tempfile.mkdtemp(prefix="voicepipe-pulse-")
    daemon = floor = None
    try:
        daemon, env = start_daemon(runtime)
        noise = os.path.join(runtime, "floor.wav")
        subprocess.run(["sox", "-n", "-r", "16000", "-c", "1", "-b", "16", noise, "synth",
                        "900", "pinknoise", "gain", "-n", "-51"], check=True)
        floor = subprocess.Popen(["paplay", noise], env=env)
        # A fresh daemon stalls its first playback: warm it up before measuring.
        warm = os.path.join(runtime, "warm.wav")
        subprocess.run(["sox", "-n", "-r", "16000", "-c", "1", "-b", "16", warm, "trim", "0",
                        "1"], check=True)
        subprocess.run(["paplay", warm], env=env, check=True)
        subprocess.run(["timeout", "1", "parec"], env=env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        errors = total = 0
        latencies, cpu_per_second, peaks = [], [], []
        for name in sorted(os.listdir(folder)):
            if not name.endswith(".wav"):
                continue
            wav = os.path.join(folder, name)
            with open(wav[:-4] + ".txt") as reference_file:
                reference = words(reference_file.read())
            final, latency, cpu, peak, status = dictate(voicepipe, wav, env)
            seconds = float(subprocess.run(["soxi", "-D", wav], capture_output=True,
                                           text=True).stdout)
            wrong = distance(reference, words(final))
            errors += wrong
            total += len(reference)
            latencies.append(latency)
            cpu_per_second.append(cpu / seconds)
            peaks.append(peak)
            print(f"{name}\t{wrong}/{len(reference)}\tonset→partial {latency:.3f} s\t"
                  f"cpu/audio {cpu / seconds:.3f}\t{peak:.0f} MiB\texit {status}\t{final}",
                  flush=True)
        latencies.sort()
        print(f"WER {100.0 * errors / max(total, 1):.1f} % ({errors}/{total}); onset→partial "
              f"median {latencies[len(latencies) // 2]:.3f} s, max {latencies[-1]:.3f} s; "
              f"cpu/audio max {max(cpu_per_second):.3f}; peak memory {max(peaks):.0f} MiB")
    finally:
        for process in (floor, daemon):
            if process and process.poll() is None:
                process.send_signal(signal.SIGTERM)
                process.wait()
        shutil.rmtree(runtime, ignore_errors=True)


if __name__ == "__main__":
    main()
