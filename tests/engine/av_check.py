#!/usr/bin/env python3
"""Plays real media through the player under Wine and checks what comes out.

Runs inside tools/wine-run (DISPLAY, PULSE_SERVER and WINEPREFIX are set):
  - sound: a 440 Hz WAV and MP3 recorded from the null sink's monitor are
    measured for pitch and level, with a quieter stretch after volume 0.25
    and silence after pause;
  - pictures: a video of known solid colours is screenshot while it plays,
    after a pause and after the surface is resized;
  - performance: the presentation thread's CPU time per second of a
    1280x720, 30 fps video is printed for the record.
Exit code 0 when every check holds.
"""
import argparse
import math
import os
import queue
import struct
import subprocess
import sys
import tempfile
import threading
import time

failures = []


def check(condition, what):
    print(("PASS " if condition else "FAIL ") + what, flush=True)
    if not condition:
        failures.append(what)


def windows_path(posix_path):
    return "Z:" + os.path.abspath(posix_path).replace("/", "\\")


class Probe:
    """The player process, one command and one answer at a time."""

    def __init__(self, exe, *args):
        self.process = subprocess.Popen(
            ["wine", exe, *args], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
            stderr=subprocess.DEVNULL, text=True, encoding="utf-8")
        # Answers come through a queue so that a hung player shows as a
        # failed command instead of a test that never ends.
        self.lines = queue.Queue()
        threading.Thread(target=self._pump, daemon=True).start()
        self.expect_ok(self.read())

    def _pump(self):
        for line in self.process.stdout:
            self.lines.put(line.strip())
        self.lines.put(None)

    def read(self, timeout=60):
        try:
            line = self.lines.get(timeout=timeout)
        except queue.Empty:
            self.process.kill()
            raise RuntimeError(f"probe gave no answer within {timeout} s")
        if line is None:
            raise RuntimeError("probe ended early")
        return line

    def send(self, command):
        self.process.stdin.write(command + "\n")
        self.process.stdin.flush()
        answer = self.read()
        print(f"  {command} -> {answer}", flush=True)
        return answer

    def ok(self, command):
        answer = self.send(command)
        self.expect_ok(answer)
        return answer

    @staticmethod
    def expect_ok(answer):
        if not answer.startswith("ok"):
            raise RuntimeError("probe answered " + answer)

    def fields(self, command):
        answer = self.ok(command)
        return dict(word.split("=", 1) for word in answer.split()[1:] if "=" in word)

    def close(self):
        try:
            answer = self.send("quit")
        except (RuntimeError, BrokenPipeError, OSError):
            answer = ""
        try:
            self.process.wait(timeout=30)
        except subprocess.TimeoutExpired:
            self.process.kill()
        return answer


# --- sound -----------------------------------------------------------------

RATE = 44100


class Recorder:
    """parec of the null sink's monitor: mono 16-bit samples with times."""

    def __init__(self, path):
        self.path = path
        self.process = subprocess.Popen(
            ["parec", "-d", "zav2_null.monitor", "--raw", "--format=s16le",
             f"--rate={RATE}", "--channels=1", "--latency-msec=20", path])
        time.sleep(0.5)

    def samples(self):
        self.process.terminate()
        self.process.wait(timeout=10)
        with open(self.path, "rb") as f:
            data = f.read()
        return struct.unpack(f"<{len(data) // 2}h", data[: len(data) // 2 * 2])


def rms(block):
    return math.sqrt(sum(s * s for s in block) / len(block)) if block else 0.0


def loud_stretches(samples, threshold):
    """(start, end) sample ranges of 50 ms blocks above the threshold."""
    block = RATE // 20
    stretches = []
    start = None
    for i in range(0, len(samples) - block, block):
        loud = rms(samples[i:i + block]) > threshold
        if loud and start is None:
            start = i
        elif not loud and start is not None:
            stretches.append((start, i))
            start = None
    if start is not None:
        stretches.append((start, len(samples)))
    return stretches


def pitch(block):
    """Frequency from the interval between the first and last upward zero
    crossing (the tone is a clean sine)."""
    crossings = [i for i in range(1, len(block)) if block[i - 1] < 0 <= block[i]]
    if len(crossings) < 3:
        return 0.0
    return (len(crossings) - 1) * RATE / (crossings[-1] - crossings[0])


def check_sound(args, name):
    print(f"sound: {name}", flush=True)
    with tempfile.TemporaryDirectory() as scratch:
        recorder = Recorder(os.path.join(scratch, "sound.raw"))
        try:
            probe = Probe(args.probe)
            try:
                probe.ok("open " + windows_path(os.path.join(args.media, name)))
                probe.ok("play")
                probe.ok("wait 1500")
                probe.ok("volume 0.25")
                probe.ok("wait 1500")
                probe.ok("volume 1.5")  # clamps to full volume
                probe.ok("wait 1000")
                probe.ok("pause")
                probe.ok("wait 1000")
            finally:
                probe.close()
        finally:
            samples = recorder.samples()

    # The sequence shows as three loud stretches (full, quiet, full) and
    # silence after the pause; the quiet one is found by its level.
    peak = max((abs(s) for s in samples), default=0)
    check(peak > 1000, f"{name}: sound reaches the null sink (peak {peak})")
    if peak <= 1000:
        return
    stretches = loud_stretches(samples, 150)
    if not stretches:
        check(False, f"{name}: a loud stretch")
        return
    first, last = stretches[0][0], stretches[-1][1]
    levels = []
    block = RATE // 10
    for i in range(first, last - block, block):
        levels.append((i, rms(samples[i:i + block])))
    full = max(level for _, level in levels)
    full_blocks = [i for i, level in levels if level > 0.7 * full]
    quiet_blocks = [i for i, level in levels if 0.1 * full < level < 0.45 * full]
    # The median over 100 ms blocks: a busy machine may drop a few sound
    # buffers, and a gap inside one block must not skew the answer.
    pitches = sorted(pitch(samples[i:i + block]) for i in full_blocks)
    frequency = pitches[len(pitches) // 2]
    check(abs(frequency - 440) < 5, f"{name}: pitch {frequency:.1f} Hz is 440 Hz")
    check(full > 1000, f"{name}: full level {full:.0f} (RMS of 32767) is audible")
    # A quarter of the volume: the engine scales amplitude (0.25) or may
    # follow a loudness curve; either way clearly lower and not silent.
    quiet = [level for i, level in levels if i in quiet_blocks]
    ratio = (sum(quiet) / len(quiet) / full) if quiet else 0.0
    check(len(quiet) >= 8 and 0.12 < ratio < 0.4,
          f"{name}: volume 0.25 plays at {ratio:.2f} of full for {len(quiet) / 10:.1f} s")
    resumed = [i for i in full_blocks if quiet_blocks and i > quiet_blocks[-1]]
    check(len(resumed) >= 5, f"{name}: volume 1.5 plays at full level again")
    tail = samples[last + RATE // 5:]
    check(len(tail) > RATE // 2 and rms(tail) < 0.01 * full,
          f"{name}: silent after pause ({rms(tail):.1f} over {len(tail) / RATE:.1f} s)")


# --- pictures --------------------------------------------------------------

def grab(window="root"):
    """An X window's pixels as (width, height, rgb bytes)."""
    data = subprocess.run(["import", "-window", window, "-depth", "8", "ppm:-"],
                          check=True, capture_output=True).stdout
    keep = os.environ.get("ZAV2_KEEP_SHOTS")
    if keep:
        grab.count = getattr(grab, "count", 0) + 1
        with open(os.path.join(keep, f"shot{grab.count}.ppm"), "wb") as f:
            f.write(data)
    # P6 <w> <h> <max>\n<rgb>
    parts = data.split(maxsplit=4)
    width, height = int(parts[1]), int(parts[2])
    return width, height, parts[4][-width * height * 3:]


def offscreen_surface(width, height):
    """Wine 8 draws a swap chain of a child window into an X window of its
    own kept off screen (under a 1x1 holder at -1,-1) and, on Xvfb, never
    copies it onto the screen. That window holds exactly what was presented."""
    tree = subprocess.run(["xwininfo", "-root", "-tree"], check=True, capture_output=True,
                          text=True).stdout
    for line in tree.splitlines():
        words = line.split()
        if words and words[-2:] == [f"{width}x{height}+0+0", "+-1+-1"]:
            return words[0]
    return None


def presented(left, top, width, height):
    """What the surface shows, as a picture of its own size: the off-screen
    window where Wine keeps it, else the screen at the surface's place."""
    window = offscreen_surface(width, height)
    if window is not None:
        return grab(window), 0, 0
    return grab(), left, top


def pixel(shot, x, y):
    width, _, rgb = shot
    at = (y * width + x) * 3
    return tuple(rgb[at:at + 3])


def near(colour, expected, tolerance=60):
    return all(abs(a - b) <= tolerance for a, b in zip(colour, expected))


def shows(left, top, width, height, expected):
    """Samples a 5x5 grid over the surface, 10 px in from its edges."""
    shot, x0, y0 = presented(left, top, width, height)
    points = [(x0 + 10 + (width - 20) * i // 4, y0 + 10 + (height - 20) * j // 4)
              for i in range(5) for j in range(5)]
    colours = [pixel(shot, x, y) for x, y in points]
    return all(near(c, expected) for c in colours), colours[12]


RED, LIME, BLUE, YELLOW = (255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 0)


def check_pictures(args):
    print("pictures: colours.mp4", flush=True)
    probe = Probe(args.probe, "320", "240")
    video = windows_path(os.path.join(args.media, "colours.mp4"))
    try:
        # The first present of a process sets up the GL pipeline (seconds
        # under llvmpipe): warm it up on the long video first.
        probe.ok("open " + windows_path(os.path.join(args.media, "hd720.mp4")))
        probe.ok("play")
        warm = probe.send("waitframes 1")
        check(warm.startswith("ok"), f"frames are presented ({warm})")

        probe.ok("open " + video)
        probe.ok("play")
        info = probe.fields("info")
        hx, hy = (int(v) for v in info["host"].split(","))
        check(info["surface"] == "320x240", f"surface fills the host ({info['surface']})")
        # Each colour is checked paused in the middle of its second, so that
        # the time a screenshot takes does not matter.
        for at, colour, name in ((0.5, RED, "red"), (1.5, LIME, "lime")):
            probe.ok(f"waitpos {at}")
            probe.ok("pause")
            probe.ok("wait 200")
            good, seen = shows(hx, hy, 320, 240, colour)
            check(good, f"at {at} s the surface shows {name} (centre {seen})")
            probe.ok("play")

        probe.ok("waitpos 2.1")
        before = int(probe.fields("info")["frames"])
        probe.ok("waitpos 2.5")
        after = int(probe.fields("info")["frames"])
        check(after - before >= 3, f"frames keep coming ({after - before} in 0.4 s)")
        probe.ok("pause")
        probe.ok("wait 200")
        good, seen = shows(hx, hy, 320, 240, BLUE)
        check(good, f"paused at 2.5 s the surface shows blue (centre {seen})")

        # A smaller surface while paused gets the paused frame again.
        probe.ok("resize 160 120")
        probe.ok("wait 500")
        good, seen = shows(hx, hy, 160, 120, BLUE)
        check(good, f"resized to 160x120 while paused, it shows blue (centre {seen})")

        probe.ok("play")
        probe.ok("waitpos 3.5")
        probe.ok("pause")
        probe.ok("wait 200")
        good, seen = shows(hx, hy, 160, 120, YELLOW)
        check(good, f"playing on to 3.5 s the resized surface shows yellow (centre {seen})")
        info = probe.fields("info")
        check(info["surface"] == "160x120", f"surface is 160x120 ({info['surface']})")
        probe.ok("play")
    finally:
        answer = probe.close()
    shutdown = dict(w.split("=") for w in answer.split()[1:] if "=" in w).get("shutdown_ms")
    check(shutdown is not None and int(shutdown) < 2500,
          f"shutdown with the thread running took {shutdown} ms")

    print("pictures: audio only", flush=True)
    probe = Probe(args.probe)
    try:
        probe.ok("open " + windows_path(os.path.join(args.media, "tone440.mp3")))
        probe.ok("play")
        probe.ok("wait 1000")
        info = probe.fields("info")
        check(info["swapchain"] == "0" and info["frames"] == "0",
              f"audio-only media: no swap chain, no frames ({info})")
    finally:
        probe.close()


# --- performance -----------------------------------------------------------

def measure_performance(args):
    print("performance: hd720.mp4 (1280x720, 30 fps)", flush=True)
    probe = Probe(args.probe, "1280", "720")
    try:
        probe.ok("open " + windows_path(os.path.join(args.media, "hd720.mp4")))
        probe.ok("play")
        probe.ok("waitpos 3")
        start = probe.fields("cpu")
        probe.ok("waitpos 11")
        end = probe.fields("cpu")
    finally:
        probe.close()
    played = float(end["position"]) - float(start["position"])
    cpu = float(end["cpu"]) - float(start["cpu"])
    frames = int(end["frames"]) - int(start["frames"])
    print(f"RECORD presentation thread: {cpu / played * 1000:.1f} ms CPU per second of playback, "
          f"{frames / played:.1f} frames presented per second ({played:.1f} s measured)")
    check(frames > 0, "the 720p video presents frames")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--probe", required=True)
    parser.add_argument("--media", required=True)
    parser.add_argument("--only", choices=["sound", "pictures", "performance"])
    args = parser.parse_args()
    sections = []
    if args.only in (None, "sound"):
        sections += [lambda: check_sound(args, "tone440.wav"),
                     lambda: check_sound(args, "tone440.mp3")]
    if args.only in (None, "pictures"):
        sections.append(lambda: check_pictures(args))
    if args.only in (None, "performance"):
        sections.append(lambda: measure_performance(args))
    for section in sections:
        try:
            section()
        except RuntimeError as error:
            check(False, f"the probe went wrong: {error}")
    if failures:
        print(f"{len(failures)} check(s) failed", flush=True)
        return 1
    print("all checks passed", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
