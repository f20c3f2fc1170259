"""What both end-to-end drivers (the Linux program's and zonbode.exe's under wine) share: the
facts they check against, reading a program's output line by line, the recorded Open-Meteo
answers, the checks on a window's close and a second start, and the run of one scenario."""

import queue
import subprocess
import sys
import threading
import time

SKIP = 77
DEFAULT_TEMPLATE = ("[dag] | Kans op zon: [zon]% | Neerslag: [neerslag-mm]mm / [neerslag-%]% | "
                    "Temp: [midtemp] | Wind: [richting][kracht]")
SWITCH_OFF_HEX = ("547 5c0030004d0075007300690063005c00300030005c0030007b0030007d0020002d0020"
                  "007b0031007d005c0030005c0030005c0030005c0030005c0030000000")


class Failure(Exception):
    pass


class Skipped(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


class Lines:
    """Reads a process's standard output on a thread; each line with its arrival time."""

    def __init__(self, process, name):
        self.name = name
        self.queue = queue.Queue()
        threading.Thread(target=self._read, args=(process.stdout,), daemon=True).start()

    def _read(self, stream):
        for raw in iter(stream.readline, b""):
            self.queue.put((time.monotonic(), raw.rstrip(b"\r\n").decode("utf-8", "replace")))
        self.queue.put((time.monotonic(), None))

    def next(self, timeout):
        try:
            stamp, line = self.queue.get(timeout=timeout)
        except queue.Empty:
            raise Failure(f"{self.name}: nothing printed within {timeout:.0f} s")
        check(line is not None, f"{self.name}: ended before printing the expected line")
        return stamp, line

    def skip_repeats(self, line, timeout):
        """Drops further copies of `line` arriving within `timeout`; keeps anything else."""
        deadline = time.monotonic() + timeout
        while (left := deadline - time.monotonic()) > 0:
            try:
                item = self.queue.get(timeout=left)
            except queue.Empty:
                return
            if item[1] != line:
                self.queue.queue.appendleft(item)
                return

    def none_within(self, timeout):
        try:
            _, line = self.queue.get(timeout=timeout)
        except queue.Empty:
            return
        raise Failure(f"{self.name}: unexpected line {line!r}")

    def nothing_more_within(self, timeout):
        """No further line within `timeout`, or the process ends."""
        try:
            _, line = self.queue.get(timeout=timeout)
        except queue.Empty:
            return
        check(line is None, f"{self.name}: unexpected line {line!r}")


def start_recorded_api(args, spawn=subprocess.Popen):
    """The recorded Open-Meteo answers on loopback (started through `spawn`): the process, and
    the options that point the program there."""
    api = spawn([sys.executable, args.recorded_api, args.answers], stdout=subprocess.PIPE)
    _, line = Lines(api, "recorded_api.py").next(60)
    check(line.startswith("listening on 127.0.0.1:"), f"recorded_api.py said {line!r}")
    url = "http://127.0.0.1:" + line.rsplit(":", 1)[1] + "/week"
    return api, ["--api-url", url, "--geocoding-url", url]


def expect_closed(process, name):
    """The program ends, and well, once its window was closed."""
    try:
        code = process.wait(timeout=60)
    except subprocess.TimeoutExpired:
        raise Failure(f"{name} did not end after its window was closed")
    check(code == 0, f"{name} ended with status {code}")


def expect_second_start_ends(second):
    """A second start hands over to the running copy and ends at once, and well."""
    try:
        code = second.wait(timeout=60)
    except subprocess.TimeoutExpired:
        raise Failure("the second start still runs beside the first")
    check(code == 0, f"the second start ended with status {code}")


def load_the_machine(spawn, count=3):
    """Busy loops beside the program, as on a machine whose cores are all taken; the caller's
    process list stops them with the rest."""
    for _ in range(count):
        spawn([sys.executable, "-c", "while True: pass"])


def stop_processes(processes):
    """Ends what still runs, the last started first."""
    for process in reversed(processes):
        if process.poll() is None:
            process.terminate()
            try:
                process.wait(timeout=20)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()


def run_scenario(name, run, clean_up):
    """Runs one scenario and says how it went; the exit status."""
    try:
        run()
    except Failure as failure:
        print(f"FAILED: {failure}")
        return 1
    except Skipped as reason:
        print(f"SKIPPED: {reason}")
        return SKIP
    finally:
        clean_up()
    print(f"passed: {name}")
    return 0


def expect_stored(values, expected):
    """Each of the settings in `expected` was stored with that value."""
    for name, value in expected.items():
        check(values.get(name) == value, f"{name} stored as {values.get(name)!r}")
