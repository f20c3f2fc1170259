#!/usr/bin/env python3
"""Start-up time and idle wake-ups of the live forecast against the page server it replaces.

    python3 bench/live-start.py BUILD_DIR [--runs N] [--idle SECONDS]

Both servers run on loopback: the recorded Open-Meteo answers of the gateway's tests (for the
program's own live source) and zonbode-demo-server (for --host). For each mode, in one run:

  launch to list filled  wall time of `zonbode-cli fetch`, which runs the window's download
                         cycle headless and ends when the first page is parsed into the table
                         (median and spread of N runs)
  idle wake-ups          the desktop program `zonbode` (Qt, offscreen platform) left alone with
                         its table filled: the context switches of all its threads over the
                         idle time, read from /proc/PID/task/*/status (voluntary and
                         non-voluntary), i.e. how often it woke up

Build first (Release): the targets zonbode, zonbode-cli and zonbode-demo-server.
"""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
RECORDED_API = ROOT / "tests/tools/zonbode-gateway/recorded_api.py"
ANSWERS = ROOT / "tests/tools/zonbode-gateway/answers"


def start_server(command):
    """A server that prints "listening on 127.0.0.1:PORT" first; the process and its port."""
    process = subprocess.Popen(command, stdout=subprocess.PIPE, text=True)
    line = process.stdout.readline().strip()
    if not line.startswith("listening on 127.0.0.1:"):
        process.kill()
        sys.exit(f"{command[0]} said {line!r}")
    return process, int(line.rsplit(":", 1)[1])


def launch_times(cli, options, runs):
    times = []
    for _ in range(runs):
        started = time.monotonic()
        done = subprocess.run([cli, "fetch"] + options, capture_output=True, timeout=60)
        times.append(time.monotonic() - started)
        if done.returncode != 0:
            sys.exit(f"zonbode-cli fetch {' '.join(options)}: exit {done.returncode}\n"
                     f"{done.stderr.decode(errors='replace')}")
    return times


def context_switches(pid):
    """The context switches of each of the process's threads, by thread id."""
    counts = {}
    for status in Path(f"/proc/{pid}/task").glob("*/status"):
        try:
            lines = status.read_text().splitlines()
        except OSError:
            continue  # the thread ended while it was read
        counts[status.parent.name] = sum(
            int(line.split()[1]) for line in lines
            if line.startswith(("voluntary_ctxt_switches", "nonvoluntary_ctxt_switches")))
    return counts


def idle_wakeups(zonbode, options, idle, settle=5):
    with tempfile.TemporaryDirectory(prefix="zonbode-bench-") as home:
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_CONFIG_HOME=home,
                   XDG_RUNTIME_DIR=home, DBUS_SESSION_BUS_ADDRESS="unix:path=/nonexistent")
        process = subprocess.Popen([zonbode] + options, env=env, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        try:
            time.sleep(settle)  # the first page is in the table long before this
            before = context_switches(process.pid)
            time.sleep(idle)
            after = context_switches(process.pid)
            if process.poll() is not None:
                sys.exit(f"zonbode {' '.join(options)} ended with {process.returncode}")
        finally:
            process.terminate()
            process.wait(timeout=30)
    # A thread that ended meanwhile takes its count with it: only the threads still there (and
    # those started meanwhile) are summed, and the ended ones are told.
    woken = sum(count - before.get(thread, 0) for thread, count in after.items())
    return woken, len(set(before) - set(after))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build", type=Path)
    parser.add_argument("--runs", type=int, default=10)
    parser.add_argument("--idle", type=float, default=20)
    args = parser.parse_args()
    cli = args.build / "tools/zonbode-cli/zonbode-cli"
    zonbode = args.build / "src/app/qt/zonbode"
    demo = args.build / "tools/zonbode-demo-server/zonbode-demo-server"
    for program in (cli, zonbode, demo):
        if not program.exists():
            sys.exit(f"no {program}: build it first")

    api, api_port = start_server([sys.executable, str(RECORDED_API), str(ANSWERS)])
    page, page_port = start_server([str(demo), "--port", "0"])
    try:
        url = f"http://127.0.0.1:{api_port}/week"
        modes = {"live source": ["--api-url", url, "--geocoding-url", url],
                 "--host": ["--host", "127.0.0.1", "--port", str(page_port)]}
        for name, options in modes.items():
            times = launch_times(str(cli), options, args.runs)
            wakeups, ended = idle_wakeups(str(zonbode), options, args.idle)
            gone = f", {ended} thread(s) ended meanwhile" if ended else ""
            print(f"{name:12} launch to list filled: median {statistics.median(times) * 1000:.0f} ms"
                  f" (min {min(times) * 1000:.0f}, max {max(times) * 1000:.0f}, {args.runs} runs);"
                  f" idle {args.idle:.0f} s: {wakeups} context switches{gone}")
    finally:
        for server in (api, page):
            server.terminate()
            server.wait(timeout=30)


if __name__ == "__main__":
    main()
