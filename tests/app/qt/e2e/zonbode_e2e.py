#!/usr/bin/env python3
"""End-to-end checks of the Linux program.

Starts zonbode-demo-server, psm-listen and zonbode as separate processes on a private X
server (Xvfb) and a private session bus (dbus-run-session), then checks what psm-listen
receives and what zonbode stores.

Scenarios:
  double-click  after the first update, a left double-click on row 3 delivers that row composed
                with the default template, and a click on row 5 followed by Enter delivers row 5
  close         closing the window stores the template and the three choices and delivers the
                switch-off record (SIGTERM in the first run, SIGHUP, as a session ending in a
                terminal sends, in the second)
  auto-mode     with Auto=1 stored and the program's own live source (against recorded
                Open-Meteo answers on loopback), the first automatic record arrives about 30 s
                after start, not before, and carries the live forecast's first day
  second-start  one running copy, on a desktop with a notification area (icewm): the first
                copy's window, minimized, goes into the tray; a second start ends at once and
                brings it back on screen; after the first copy is killed, a new start runs as
                the only copy
  tray          on a loaded machine with a notification area (icewm), "Start in systeemvak" on:
                the program starts hidden, and one left click on its tray icon shows the window
                within a second
  slack         with a token in a gnome-keyring-daemon of its own and a recorded Slack Web API
                on loopback: a double-clicked row becomes the Slack status (text cut at 100
                characters, the day's emoji, two hours to live), closing brings back the status
                the user had (or the one the user set meanwhile), a status the user set after
                the last record stays, a 429 silences Slack until its Retry-After, a revoked
                token until it changes; after a killed run, and after a close that Slack
                answered with 429, the next start brings the user's status back; the token is
                in no settings file and no output
  teams         with a refresh token in a gnome-keyring-daemon of its own and the identity
                platform and Graph recorded on loopback: a double-clicked row becomes the Teams
                status message for two hours, closing brings back the user's own message, and
                no file or output holds a token
  pidgin        with Pidgin running beside psm-listen and a saved away status of the user's,
                the first automatic record becomes Pidgin's status message (markup and
                non-ASCII shown literally, the away status kept); then, on a loaded machine,
                the window takes a close as a window manager sends it within a second, and the
                user's own status comes back; after a run that is killed, the next run's close
                brings it back too

The window is closed by SIGTERM, which zonbode handles like its close button. Clicks and keys
are real X input (xdotool). Exit status 77: skipped (also for the pidgin scenario where Pidgin
is not installed).
"""

import argparse
import ctypes
import ctypes.util
import datetime
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..",
                                "support"))
from e2e_run import (SKIP, SWITCH_OFF_HEX, Failure, Lines, Skipped, check,  # noqa: E402
                     expect_closed, expect_second_start_ends, expect_stored, load_the_machine,
                     run_scenario, start_recorded_api, stop_processes)
import e2e_run  # noqa: E402
from recorded_slack import SlackApi, SLACK_TOKEN, USERS_OWN, expected_emoji  # noqa: E402
from recorded_teams import (TeamsApi, CLIENT_ID as TEAMS_CLIENT_ID,  # noqa: E402
                            REFRESH_TOKEN as TEAMS_REFRESH_TOKEN, USERS_OWN as TEAMS_USERS_OWN)

DEFAULT_TEMPLATE = e2e_run.DEFAULT_TEMPLATE.encode()


class Desktop:
    """Xvfb, the demo server and psm-listen; every process it starts is stopped by close()."""

    def __init__(self, args):
        self.args = args
        self.processes = []
        self.work = tempfile.mkdtemp(prefix="zonbode-e2e-")
        self.config_home = os.path.join(self.work, "config")
        runtime = os.path.join(self.work, "runtime")
        os.makedirs(runtime, mode=0o700)
        read_end, write_end = os.pipe()
        # -noreset: by default the X server resets when its last client leaves, and a program
        # that starts during the reset cannot connect (seen: zonbode restarted right after the
        # one before it had ended).
        xvfb = self.spawn(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                           "-nolisten", "tcp", "-noreset"], pass_fds=(write_end,), stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL)
        os.close(write_end)
        display = b""
        deadline = time.monotonic() + 60
        while not display.endswith(b"\n") and time.monotonic() < deadline:
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            display += chunk
        os.close(read_end)
        check(display.strip().isdigit(), "Xvfb did not report its display")
        self.env = dict(os.environ, DISPLAY=":" + display.decode().strip(),
                        QT_QPA_PLATFORM="xcb", XDG_CONFIG_HOME=self.config_home,
                        XDG_RUNTIME_DIR=runtime)
        self.env.setdefault("ASAN_OPTIONS", "detect_leaks=0")

        server = self.spawn([args.demo_server, "--port", "0"], stdout=subprocess.PIPE)
        self.server_lines = Lines(server, "zonbode-demo-server")
        _, line = self.server_lines.next(60)
        check(line.startswith("listening on 127.0.0.1:"), f"demo server said {line!r}")
        self.port = int(line.rsplit(":", 1)[1])

        listener = self.spawn([args.psm_listen], stdout=subprocess.PIPE)
        self.records = Lines(listener, "psm-listen")
        _, line = self.records.next(60)
        check(line == "ready", f"psm-listen said {line!r}")

    def spawn(self, command, **options):
        options.setdefault("env", getattr(self, "env", None))
        process = subprocess.Popen(command, **options)
        self.processes.append(process)
        return process

    def start_zonbode(self, extra_env=None, extra_args=(), options=None):
        """zonbode against the demo server, or with `options` instead of --host and --port; what
        it prints goes to a file of its own in the work folder, told when a step fails."""
        env = dict(self.env, **(extra_env or {}))
        if options is None:
            options = ["--host", "127.0.0.1", "--port", str(self.port)]
        path = os.path.join(self.work, f"zonbode-{len(self.processes)}.out")
        with open(path, "wb") as out:
            zonbode = self.spawn([self.args.zonbode] + options + list(extra_args), env=env,
                                 stdout=out, stderr=subprocess.STDOUT)
        zonbode.output_path = path
        return zonbode

    def start_recorded_api(self):
        """The recorded Open-Meteo answers on loopback; the options that point zonbode there."""
        _, options = start_recorded_api(self.args, self.spawn)
        return options

    def deliver_row(self, window, row, template=DEFAULT_TEMPLATE):
        """Double-clicks `row` until psm-listen shows its record (the list fills after the
        first update); every transport has had the record when the next one arrives."""
        expected = expected_record_hex(self.args, served_table(self.args, self.port), row,
                                       template)
        deadline = time.monotonic() + 90
        while True:
            self.double_click_row(window, row)
            try:
                _, line = self.records.next(5)
                break
            except Failure:
                if time.monotonic() > deadline:
                    raise
        check(line == expected, f"row {row} record:\n  got      {line}\n  expected {expected}")
        self.records.skip_repeats(line, 3)  # a late answer to an earlier try

    def close_as_window_manager(self, zonbode, window):
        """WM_DELETE_WINDOW to the window, as a window manager's close button sends it; the
        window must take it within a second (its switch-off reaches psm-listen) and end."""
        request_window_close(self.env["DISPLAY"], int(window))
        _, line = self.records.next(1)
        check(line == SWITCH_OFF_HEX, f"switch-off record: got {line}")
        expect_closed(zonbode, "zonbode")

    def close_window(self, zonbode, how=signal.SIGTERM):
        """SIGTERM (or SIGHUP) closes the window as its close button does; the program ends."""
        zonbode.send_signal(how)
        expect_closed(zonbode, "zonbode")

    def xdotool(self, *args):
        result = subprocess.run(["xdotool"] + list(args), env=self.env, capture_output=True,
                                timeout=120)
        check(result.returncode == 0, f"xdotool {' '.join(args)}: {result.stderr!r}")
        return result.stdout.decode()

    def zonbode_window(self, zonbode=None):
        """The visible window named Zonbode, once there is one. xdotool's own --sync gives up
        when a window of the desktop goes away while it walks the tree (BadWindow), as one
        does now and then while a window manager starts: such a search is simply made
        again. A `zonbode` that ends first fails the step at once, with what it printed."""
        deadline = time.monotonic() + 60
        while True:
            windows = visible_zonbode_windows(self)
            if windows:
                return windows[0]
            if zonbode is not None and zonbode.poll() is not None:
                raise Failure(f"zonbode ended ({zonbode.returncode}) before its window showed; "
                              f"it printed: {printed_by(zonbode)!r}")
            check(time.monotonic() < deadline,
                  f"no visible Zonbode window; the desktop's windows: {self.windows()}; "
                  f"zonbode printed: {printed_by(zonbode)!r}")
            time.sleep(0.1)

    def windows(self):
        """Every named window on the display, with its map state: what a failed search saw."""
        found = subprocess.run(["xdotool", "search", "--name", "."], env=self.env,
                               capture_output=True, text=True, timeout=60).stdout.split()
        described = []
        for window in found:
            info = subprocess.run(["xwininfo", "-id", window], env=self.env,
                                  capture_output=True, text=True, timeout=60).stdout
            state = [line.split(":")[1].strip() for line in info.splitlines()
                     if "Map State" in line]
            name = info.split('"', 2)[1] if info.count('"') >= 2 else ""
            described.append(f"{name} {state[0] if state else '?'}")
        return described

    # Where row N of the list stands in the window, in pixels: the rows begin below the list's
    # header, 25 pixels from the top, 12 pixels each at the window's font.
    @staticmethod
    def row_point(row):
        return "60", str(25 + 12 * (row - 1) + 6)

    def double_click_row(self, window, row):
        x, y = self.row_point(row)
        self.xdotool("mousemove", "--window", window, x, y, "click", "--repeat", "2", "--delay",
                     "100", "1")

    def click_row_and_press_enter(self, window, row):
        x, y = self.row_point(row)
        # Past the double-click time after the click: the key follows a single click.
        self.xdotool("mousemove", "--window", window, x, y, "click", "1", "sleep", "1", "key",
                     "Return")

    def ini_path(self):
        return os.path.join(self.config_home, "Kavelo", "Zonbode.ini")

    def store_ini(self, text):
        os.makedirs(os.path.dirname(self.ini_path()), exist_ok=True)
        with open(self.ini_path(), "w", encoding="utf-8") as f:
            f.write(text)

    def read_ini(self):
        """The [General] values of the settings file, as written."""
        check(os.path.exists(self.ini_path()), "no settings file was written")
        values = {}
        with open(self.ini_path(), encoding="utf-8") as f:
            for line in f.read().splitlines():
                if "=" in line and not line.startswith("["):
                    key, value = line.split("=", 1)
                    values[key] = value
        return values

    def close(self):
        stop_processes(self.processes)
        shutil.rmtree(self.work, ignore_errors=True)


class XClientMessage(ctypes.Structure):
    # XClientMessageEvent, padded to the size of an XEvent (24 longs).
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5), ("pad", ctypes.c_long * 12)]


def printed_by(zonbode, last=2000):
    """The end of what `zonbode` has printed so far."""
    path = getattr(zonbode, "output_path", None)
    if path is None:
        return ""
    with open(path, "rb") as f:
        return f.read()[-last:].decode(errors="replace")


def request_window_close(display_name, window):
    """Sends WM_PROTOCOLS/WM_DELETE_WINDOW to `window`, as a window manager does when its close
    button is pressed (xdotool's windowclose destroys the window instead)."""
    x11 = ctypes.CDLL(ctypes.util.find_library("X11"))
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                               ctypes.c_void_p]
    x11.XFlush.argtypes = x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = x11.XOpenDisplay(display_name.encode())
    check(display, f"cannot open the display {display_name}")
    event = XClientMessage(type=33, window=window, format=32,  # 33: ClientMessage
                           message_type=x11.XInternAtom(display, b"WM_PROTOCOLS", 0))
    event.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
    x11.XSendEvent(display, window, 0, 0, ctypes.byref(event))
    x11.XFlush(display)
    x11.XCloseDisplay(display)


def raw_response(port):
    """The whole HTTP response the demo server gives zonbode's request."""
    with socket.create_connection(("127.0.0.1", port), timeout=30) as s:
        s.sendall(b"GET /waarschuwingen_en_verwachtingen/index.html HTTP/1.1\r\n"
                  b"Host: 127.0.0.1\r\nConnection: close\r\n\r\n")
        data = b""
        while True:
            chunk = s.recv(65536)
            if not chunk:
                return data
            data += chunk


def unescape(field):
    out, i = bytearray(), 0
    simple = {ord("\\"): b"\\", ord("t"): b"\t", ord("n"): b"\n", ord("r"): b"\r"}
    while i < len(field):
        if field[i] == ord("\\") and i + 1 < len(field):
            if field[i + 1] == ord("x"):
                out += bytes([int(field[i + 2:i + 4], 16)])
                i += 4
                continue
            out += simple.get(field[i + 1], bytes([field[i + 1]]))
            i += 2
            continue
        out.append(field[i])
        i += 1
    return bytes(out)


def served_table(args, port):
    """The table of the page the demo server serves, as the command-line core parses it."""
    return subprocess.run([args.cli, "parse"], input=raw_response(port), capture_output=True,
                          check=True, timeout=60).stdout


def live_table(args, options):
    """The table the program's own live source gives, fetched headless with those options."""
    return subprocess.run([args.cli, "fetch"] + options, capture_output=True, check=True,
                          timeout=60).stdout


def composed_text(args, table, row, template):
    """The status text of `row` of a table as the command-line core composes it."""
    rows = [line.split(b"\t") for line in table.splitlines()]
    check(len(rows) >= row, f"the served page has {len(rows)} rows")
    fields = [unescape(f) for f in rows[row - 1]]
    text = subprocess.run([args.cli, "compose", template] + fields, capture_output=True,
                          check=True, timeout=60).stdout
    return text[:-1] if text.endswith(b"\n") else text  # compose ends its line


def expected_record_hex(args, table, row, template):
    """The record for `row` of a table as the command-line core builds it."""
    text = composed_text(args, table, row, template)
    record = subprocess.run([args.cli, "record", "Office", "1", "{0}", text],
                            capture_output=True, check=True, timeout=60).stdout
    return "547 " + record.hex()


def scenario_double_click(desktop, args):
    zonbode = desktop.start_zonbode()
    window = desktop.zonbode_window(zonbode)
    desktop.deliver_row(window, 3)
    expected = expected_record_hex(args, served_table(args, desktop.port), 5, DEFAULT_TEMPLATE)
    desktop.click_row_and_press_enter(window, 5)
    _, line = desktop.records.next(30)
    check(line == expected, f"row 5 record (Enter):\n  got      {line}\n  expected {expected}")
    desktop.close_window(zonbode)
    _, line = desktop.records.next(30)
    check(line == SWITCH_OFF_HEX, f"switch-off record: got {line}")


def scenario_close(desktop, args):
    # First run, nothing stored: the defaults are written.
    zonbode = desktop.start_zonbode()
    time.sleep(3)
    desktop.records.none_within(0)  # start-up sends nothing
    desktop.close_window(zonbode)
    _, line = desktop.records.next(30)
    check(line == SWITCH_OFF_HEX, f"switch-off record: got {line}")
    values = desktop.read_ini()
    expect_stored(values, {"PSM": DEFAULT_TEMPLATE.decode(), "Auto": "0", "Systeemvak": "0",
                           "Aanmelden": "0"})
    check(set(values) == {"PSM", "Auto", "Systeemvak", "Aanmelden"},
          f"stored keys {sorted(values)}")

    # Second run: what was stored comes back into the controls and is written again; the
    # autostart file an earlier place of the program left is put right at start.
    desktop.store_ini("[General]\nPSM=Zon: [zon]% op [dag]\nAuto=1\nSysteemvak=1\nAanmelden=1\n")
    autostart = os.path.join(desktop.config_home, "autostart", "zonbode.desktop")
    os.makedirs(os.path.dirname(autostart), exist_ok=True)
    with open(autostart, "w", encoding="utf-8") as f:
        f.write("[Desktop Entry]\nType=Application\nName=Zonbode\nExec=/oud/zonbode\n")
    zonbode = desktop.start_zonbode()
    time.sleep(3)
    with open(autostart, encoding="utf-8") as f:
        entry = f.read()
    program = os.path.realpath(args.zonbode)
    check(f'\nExec="{program}"\n' in entry,
          f"the autostart file does not name {program}: {entry!r}")
    desktop.close_window(zonbode, signal.SIGHUP)
    _, line = desktop.records.next(30)
    check(line == SWITCH_OFF_HEX, f"switch-off record: got {line}")
    values = desktop.read_ini()
    expect_stored(values, {"PSM": "Zon: [zon]% op [dag]", "Auto": "1", "Systeemvak": "1",
                           "Aanmelden": "1"})


def scenario_auto_mode(desktop, args):
    live = desktop.start_recorded_api()
    expected = expected_record_hex(args, live_table(args, live), 1, DEFAULT_TEMPLATE)
    desktop.store_ini("[General]\nAuto=1\n")
    started = time.monotonic()
    zonbode = desktop.start_zonbode(options=live)
    # Nothing for the first 28 s (the tick is due 30 s after start-up, which follows the start).
    desktop.records.none_within(28)
    stamp, line = desktop.records.next(30)
    after = stamp - started
    check(after >= 29.5, f"first automatic record {after:.1f} s after start")
    # Generous: a loaded machine may take seconds to start the program and load the window.
    check(after <= 55, f"first automatic record only {after:.1f} s after start")
    check(line == expected, f"first automatic record:\n  got      {line}\n  expected {expected}")
    print(f"first automatic record {after:.1f} s after start")
    desktop.close_window(zonbode)


def start_notification_area(desktop):
    """icewm on the desktop: a window manager whose task bar has a notification area."""
    desktop.spawn(["icewm"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    deadline = time.monotonic() + 60
    while "window id" not in subprocess.run(
            ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=desktop.env, capture_output=True,
            text=True, timeout=60).stdout:
        check(time.monotonic() < deadline, "icewm did not start")
        time.sleep(0.2)


def visible_zonbode_windows(desktop):
    result = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Zonbode$"],
                            env=desktop.env, capture_output=True, text=True, timeout=60)
    return result.stdout.split()


def scenario_second_start(desktop, args):
    if shutil.which("icewm") is None:
        raise Failure("icewm is not installed (package icewm)")
    start_notification_area(desktop)
    first = desktop.start_zonbode()
    # Minimized by the user, the window leaves the screen (into the tray).
    desktop.xdotool("windowminimize", desktop.zonbode_window(first))
    deadline = time.monotonic() + 60
    while visible_zonbode_windows(desktop):
        check(time.monotonic() < deadline, "the minimized window stayed on screen")
        time.sleep(0.2)
    expect_second_start_ends(desktop.start_zonbode())
    deadline = time.monotonic() + 60
    while not visible_zonbode_windows(desktop):
        check(time.monotonic() < deadline, "the first copy's window stayed in the tray")
        time.sleep(0.2)
    check(first.poll() is None, "the first copy ended")

    # A copy that was killed holds nothing: the next start runs and stays.
    first.kill()
    first.wait()
    third = desktop.start_zonbode()
    desktop.zonbode_window(third)
    check(third.poll() is None, f"the start after the killed copy ended ({third.poll()})")
    desktop.close_window(third)


def tray_icon_place(desktop):
    """The middle of the small window of the program's class, where it is shown, or None."""
    tree = subprocess.run(["xwininfo", "-root", "-tree"], env=desktop.env,
                          capture_output=True, text=True, timeout=60).stdout
    for line in tree.splitlines():
        # 0x400006 "Zonbode": ("zonbode" "Zonbode")  24x24+0+0  +839+743
        if '("zonbode" "Zonbode")' in line:
            size, absolute = line.split()[-2:]
            width, height = (int(v) for v in size.split("+")[0].split("x"))
            x, y = (int(v) for v in absolute.lstrip("+").split("+"))
            state = subprocess.run(["xwininfo", "-id", line.split()[0]], env=desktop.env,
                                   capture_output=True, text=True, timeout=60).stdout
            if width <= 32 and "IsViewable" in state:
                return x + width // 2, y + height // 2
    return None


def tray_icon(desktop):
    """Where the program's icon stands in icewm's notification area, once it has been taken in
    there: shown, and at the same place twice in a row, so the click does not meet a window
    that is still being embedded or moved."""
    deadline = time.monotonic() + 60
    before = None
    while True:
        place = tray_icon_place(desktop)
        if place is not None and place == before:
            return place
        before = place
        check(time.monotonic() < deadline, f"no tray icon that stays in place (last {place})")
        time.sleep(0.5)


def expect_window_within(desktop, seconds, what):
    deadline = time.monotonic() + seconds
    while not visible_zonbode_windows(desktop):
        check(time.monotonic() < deadline, what)
        time.sleep(0.05)


def scenario_tray(desktop, args):
    if shutil.which("icewm") is None:
        raise Failure("icewm is not installed (package icewm)")
    start_notification_area(desktop)
    load_the_machine(desktop.spawn)
    desktop.store_ini("[General]\nSysteemvak=1\n")
    zonbode = desktop.start_zonbode()
    icon = tray_icon(desktop)
    # Started in the tray: the window stays off screen until the icon is clicked.
    time.sleep(2)
    check(not visible_zonbode_windows(desktop), "the window did not start hidden in the tray")
    x, y = icon
    desktop.xdotool("mousemove", str(x), str(y), "click", "1")
    expect_window_within(desktop, 1, "one click on the tray icon did not show the window")
    desktop.close_window(zonbode)


class Pidgin:
    """A real Pidgin on the desktop's display and bus, with a throwaway home and configuration.

    The user's side goes through libpurple's D-Bus interface with dbus-send."""

    SERVICE = "im.pidgin.purple.PurpleService"

    def __init__(self, desktop):
        home = os.path.join(desktop.work, "pidgin-home")
        os.makedirs(home)
        env = dict(desktop.env, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
                   XDG_DATA_HOME=os.path.join(home, ".local", "share"),
                   XDG_CACHE_HOME=os.path.join(home, ".cache"), NO_AT_BRIDGE="1",
                   GSETTINGS_BACKEND="memory")
        with open(os.path.join(home, "pidgin.log"), "wb") as log:
            self.process = desktop.spawn(["pidgin", "--config=" + os.path.join(home, "purple"),
                                          "--nologin"], env=env, stdout=subprocess.DEVNULL,
                                         stderr=log)
        deadline = time.monotonic() + 90
        while not self.on_bus():
            check(self.process.poll() is None, "Pidgin ended at start")
            check(time.monotonic() < deadline, "Pidgin did not come onto the bus")
            time.sleep(0.2)

    def on_bus(self):
        reply = subprocess.run(["dbus-send", "--session", "--print-reply=literal",
                                "--dest=org.freedesktop.DBus", "/org/freedesktop/DBus",
                                "org.freedesktop.DBus.NameHasOwner", "string:" + self.SERVICE],
                               capture_output=True, text=True, timeout=60)
        return reply.stdout.split()[-1:] == ["true"]

    def call(self, method, *arguments):
        """The method's result: an int for int32, else the text."""
        reply = subprocess.run(["dbus-send", "--session", "--print-reply=literal",
                                "--dest=" + self.SERVICE, "/im/pidgin/purple/PurpleObject",
                                "im.pidgin.purple.PurpleInterface." + method] +
                               [f"int32:{a}" if isinstance(a, int) else f"string:{a}"
                                for a in arguments], capture_output=True, timeout=60)
        check(reply.returncode == 0, f"{method}: {reply.stderr.decode(errors='replace')}")
        out = reply.stdout.decode("utf-8")
        if out.lstrip().startswith("int32 "):
            return int(out.split()[-1])
        return out[3:].rstrip("\n") if out.startswith("   ") else out.rstrip("\n")

    def shown_message(self):
        """The current status message as Pidgin shows it: markup stripped, entities read."""
        current = self.call("PurpleSavedstatusGetCurrent")
        return self.call("PurpleMarkupStripHtml",
                         self.call("PurpleSavedstatusGetMessage", current))

    def expect_message(self, text, what):
        """Pidgin comes to show `text` within 30 s."""
        deadline = time.monotonic() + 30
        while self.shown_message() != text and time.monotonic() < deadline:
            time.sleep(0.2)
        check(self.shown_message() == text, f"{what}: Pidgin shows {self.shown_message()!r}, "
              f"not {text!r}")

    def quit(self):
        self.call("PurpleCoreQuit")
        self.process.wait(timeout=60)

class Keyring:
    """A gnome-keyring-daemon on this bus, its keyrings in the desktop's work folder, unlocked
    with an empty password; the token goes in as the Slack dialog's Test (or the Teams
    sign-in, with service "teams") would store it."""

    def __init__(self, desktop, token, service="slack"):
        home = os.path.join(desktop.work, "keyring")
        os.makedirs(home)
        env = dict(desktop.env, HOME=home, XDG_DATA_HOME=os.path.join(home, "data"))
        self.daemon = desktop.spawn(["gnome-keyring-daemon", "--foreground", "--unlock",
                                     "--components=secrets"], env=env, stdin=subprocess.PIPE,
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                    start_new_session=True)
        self.daemon.stdin.write(b"\n")
        self.daemon.stdin.close()
        # Asked before the daemon owns its name, the bus would start another one, which asks
        # for a password on a screen there is none of.
        has_owner = ["gdbus", "call", "--session", "--dest", "org.freedesktop.DBus",
                     "--object-path", "/org/freedesktop/DBus", "--method",
                     "org.freedesktop.DBus.NameHasOwner", "org.freedesktop.secrets"]
        deadline = time.monotonic() + 60
        while b"true" not in subprocess.run(has_owner, env=desktop.env, capture_output=True,
                                            timeout=60).stdout:
            check(self.daemon.poll() is None and time.monotonic() < deadline,
                  "gnome-keyring-daemon did not come on the bus")
            time.sleep(0.1)
        store = ["secret-tool", "store", f"--label=Zonbode {service}", "application", "zonbode",
                 "service", service]
        while subprocess.run(store, input=token.encode(), env=desktop.env,
                             capture_output=True, timeout=60).returncode != 0:
            check(time.monotonic() < deadline, "the keyring took no secret")
            time.sleep(0.2)


def check_no_file_holds(desktop, secrets, what):
    """No settings file, output or other file of the run holds any of `secrets`, the keyring's
    own folder apart."""
    for folder in (desktop.config_home, desktop.work):
        for root, _, files in os.walk(folder):
            if root.startswith(os.path.join(desktop.work, "keyring")):
                continue
            for name in files:
                if not os.path.isfile(os.path.join(root, name)):
                    continue  # the keyring's socket
                with open(os.path.join(root, name), "rb") as f:
                    content = f.read()
                check(not any(secret in content for secret in secrets), f"{what} is in {name}")


def slack_run(desktop, slack, template=DEFAULT_TEMPLATE, keep_settings=False):
    """Starts zonbode with `template` against the recorded API (or with the settings the run
    before left); its output is kept to be searched."""
    if not keep_settings:
        desktop.store_ini("[General]\nPSM=" + template.decode() + "\n")
    wait_until_no_copy_is_on_the_bus(desktop)
    zonbode = desktop.start_zonbode(extra_args=["--slack-url", slack.url])
    return zonbode, desktop.zonbode_window(zonbode)


def slack_close(desktop, zonbode):
    desktop.close_window(zonbode)
    _, line = desktop.records.next(30)
    check(line == SWITCH_OFF_HEX, f"switch-off record: got {line}")


def bus_name_owned(desktop, name):
    reply = subprocess.run(["dbus-send", "--session", "--print-reply=literal",
                            "--dest=org.freedesktop.DBus", "/org/freedesktop/DBus",
                            "org.freedesktop.DBus.NameHasOwner", "string:" + name],
                           env=desktop.env, capture_output=True, text=True, timeout=60)
    return reply.stdout.split()[-1:] == ["true"]


def wait_until_no_copy_is_on_the_bus(desktop):
    """The bus lets an ended copy's name go on its own time (later still on a busy machine); a
    start before that would hand over to a copy that is no more."""
    deadline = time.monotonic() + 30
    while bus_name_owned(desktop, "nl.kavelo.Zonbode"):
        check(time.monotonic() < deadline, "an ended copy's bus name stayed")
        time.sleep(0.1)


def slack_calls_reach(slack, count, what):
    """Slack is called off the window's thread: waits, bounded, for `count` calls."""
    deadline = time.monotonic() + 30
    while len(slack.calls) < count and time.monotonic() < deadline:
        time.sleep(0.05)
    check(len(slack.calls) >= count, f"{what}: {len(slack.calls)} calls, not {count}")


def slack_status_becomes(slack, status, what):
    deadline = time.monotonic() + 30
    while slack.status != status and time.monotonic() < deadline:
        time.sleep(0.05)
    check(slack.status == status, f"{what}: Slack shows {slack.status}")


def expected_slack_status(desktop, args, row, template):
    text = composed_text(args, served_table(args, desktop.port), row, template).decode()
    if len(text) > 100:
        text = text[:99] + "\u2026"
    sunshine, rain = composed_text(args, served_table(args, desktop.port), row, b"[zon] [neerslag-%]").split()
    return text, expected_emoji(sunshine, rain)


def check_slack_set(slack, call, desktop, args, row, template):
    method, path, authorization, body = call
    check((method, path) == ("POST", "/api/users.profile.set"), f"call {method} {path}")
    check(authorization == "Bearer " + SLACK_TOKEN, f"Authorization {authorization!r}")
    text, emoji = expected_slack_status(desktop, args, row, template)
    profile = body["profile"]
    check(profile["status_text"] == text, f"status_text {profile['status_text']!r}, not {text!r}")
    check(profile["status_emoji"] == emoji, f"status_emoji {profile['status_emoji']!r}")
    lifetime = profile["status_expiration"] - time.time()
    check(7000 < lifetime <= 7200, f"status_expiration {lifetime:.0f} s from now")


def scenario_slack(desktop, args):
    Keyring(desktop, SLACK_TOKEN)
    slack = SlackApi(USERS_OWN)
    try:
        # The day's status, cut; the user's own status meanwhile becomes the one to bring back.
        long_template = b"[dag]: zon [zon]%, regen [neerslag-%]%" + b" lang" * 30
        zonbode, window = slack_run(desktop, slack, long_template)
        desktop.deliver_row(window, 3, long_template)
        slack_calls_reach(slack, 2, "row 3")
        desktop.deliver_row(window, 4, long_template)
        slack_calls_reach(slack, 4, "row 4")
        user_changed = {"status_text": "Thuiswerken", "status_emoji": ":house:",
                        "status_expiration": 0}
        slack.status = dict(user_changed)
        desktop.deliver_row(window, 5, long_template)
        slack_calls_reach(slack, 6, "row 5")
        slack_close(desktop, zonbode)
        calls = [(c[0], c[1]) for c in slack.calls]
        get, put = ("GET", "/api/users.profile.get"), ("POST", "/api/users.profile.set")
        check(calls == [get, put] * 4, f"calls {calls}")
        for index, row in ((1, 3), (3, 4), (5, 5)):
            check_slack_set(slack, slack.calls[index], desktop, args, row, long_template)
        check(slack.status == user_changed, f"closing left {slack.status}")

        # A status the user sets after the last record stays when Zonbode closes.
        slack.calls.clear()
        zonbode, window = slack_run(desktop, slack)
        desktop.deliver_row(window, 2)
        slack_calls_reach(slack, 2, "row 2")
        slack.status = dict(USERS_OWN)
        slack_close(desktop, zonbode)
        check([c[1] for c in slack.calls] == ["/api/users.profile.get",
                                              "/api/users.profile.set",
                                              "/api/users.profile.get"],
              f"calls {[c[1] for c in slack.calls]}")
        check(slack.status == USERS_OWN, f"closing left {slack.status}")

        # 429 and a revoked token: one call, then silence (records dropped, closing quiet).
        for refusal in ((429, 3600), (200, "token_revoked")):
            slack.calls.clear()
            slack.refuse = refusal
            zonbode, window = slack_run(desktop, slack)
            desktop.deliver_row(window, 2)
            slack_calls_reach(slack, 1, f"after {refusal}")
            desktop.deliver_row(window, 3)
            slack_close(desktop, zonbode)
            check(len(slack.calls) == 1, f"after {refusal}: {len(slack.calls)} calls")
        slack.refuse = None

        # A run that is killed leaves its weather: the next run brings the user's status back
        # at its start, and again when it closes.
        vacation = {"status_text": "Op vakantie tot maandag", "status_emoji": ":palm_tree:",
                    "status_expiration": 0}
        slack.status = dict(vacation)
        slack.calls.clear()
        zonbode, window = slack_run(desktop, slack)
        desktop.deliver_row(window, 2)
        slack_calls_reach(slack, 2, "row 2 before the kill")
        zonbode.kill()
        zonbode.wait(timeout=30)
        check(slack.status != vacation, "the killed run set no weather")

        zonbode, window = slack_run(desktop, slack, keep_settings=True)
        slack_status_becomes(slack, vacation, "the start after a killed run")
        desktop.deliver_row(window, 3)
        slack_calls_reach(slack, 6, "row 3 after the kill")
        slack_close(desktop, zonbode)
        check(slack.status == vacation, f"closing left {slack.status}")

        # Closing while Slack says to wait still tries the restore; refused, it is made at the
        # next start.
        slack.calls.clear()
        zonbode, window = slack_run(desktop, slack, keep_settings=True)
        desktop.deliver_row(window, 4)
        slack_calls_reach(slack, 2, "row 4")
        slack.refuse = (429, 3600)
        desktop.deliver_row(window, 5)
        slack_calls_reach(slack, 3, "row 5, refused")
        slack_close(desktop, zonbode)
        check(len(slack.calls) == 4, f"closing in a 429 made {len(slack.calls) - 3} calls, not 1")
        slack.refuse = None
        zonbode, window = slack_run(desktop, slack, keep_settings=True)
        slack_status_becomes(slack, vacation, "the start after a refused restore")
        slack_close(desktop, zonbode)
    finally:
        slack.stop()
    # The token only ever went to the keyring and the Authorization header.
    check_no_file_holds(desktop, [SLACK_TOKEN.encode()], "the token")


def scenario_teams(desktop, args):
    """A refresh token in the keyring and the app registration in the settings, as a sign-in
    leaves them: a double-clicked row becomes the Teams status message for two hours, and
    closing brings back the user's own message; no file and no output holds a token."""
    Keyring(desktop, TEAMS_REFRESH_TOKEN, service="teams")
    teams = TeamsApi(TEAMS_USERS_OWN)
    try:
        desktop.store_ini(f"[General]\nTeamsClient={TEAMS_CLIENT_ID}\nTeamsTenant=organizations\n")
        zonbode = desktop.start_zonbode(
            extra_args=["--login-url", teams.url + "/login", "--graph-url", teams.url + "/graph"])
        window = desktop.zonbode_window(zonbode)
        desktop.deliver_row(window, 2)
        text = composed_text(args, served_table(args, desktop.port), 2, DEFAULT_TEMPLATE).decode()
        deadline = time.monotonic() + 30
        while (teams.status or {}).get("message", {}).get("content") != text:
            check(time.monotonic() < deadline, f"Teams shows {teams.status}, not {text!r}")
            time.sleep(0.05)
        expiry = teams.status["expiryDateTime"]
        check(expiry["timeZone"] == "UTC", f"expiry {expiry}")
        lifetime = (datetime.datetime.fromisoformat(expiry["dateTime"]).replace(
            tzinfo=datetime.timezone.utc) - datetime.datetime.now(datetime.timezone.utc))
        check(7000 < lifetime.total_seconds() <= 7200, f"expires in {lifetime}")
        desktop.close_window(zonbode)
        check(teams.status["message"] == TEAMS_USERS_OWN["message"],
              f"closing left {teams.status}")
        paths = [c[1] for c in teams.calls]
        check("/graph/v1.0/me/presence/setStatusMessage" in paths, f"calls {paths}")
        check(not any("setPresence" in p for p in paths), "presence itself was touched")
    finally:
        teams.stop()
    check_no_file_holds(desktop, [b"rt-", b"at-1"], "a Teams token")


def scenario_pidgin(desktop, args):
    if shutil.which("pidgin") is None:
        raise Skipped("pidgin is not installed (package pidgin)")
    template = "[dag] & <b>zon</b> [zon]% \u2600 'NW'"
    table = served_table(args, desktop.port)
    text = composed_text(args, table, 1, template.encode()).decode("utf-8")
    expected = expected_record_hex(args, table, 1, template.encode())
    pidgin = Pidgin(desktop)
    away = 5
    own = pidgin.call("PurpleSavedstatusNew", "Vergadering", away)
    pidgin.call("PurpleSavedstatusSetMessage", own, "In overleg")
    pidgin.call("PurpleSavedstatusActivate", own)
    created = pidgin.call("PurpleSavedstatusGetCreationTime", own)

    desktop.store_ini(f"[General]\nAuto=1\nPSM={template}\n")
    load_the_machine(desktop.spawn)
    zonbode = desktop.start_zonbode()
    _, line = desktop.records.next(90)
    check(line == expected, f"first automatic record:\n  got      {line}\n  expected {expected}")
    # psm-listen is served first; Pidgin right after it.
    pidgin.expect_message(text, "first automatic record")
    current = pidgin.call("PurpleSavedstatusGetCurrent")
    check(pidgin.call("PurpleSavedstatusGetType", current) == away, "the away status was changed")
    check(pidgin.call("PurpleSavedstatusGetMessage", own) == "In overleg",
          "the user's own status was rewritten")

    desktop.close_as_window_manager(zonbode, desktop.zonbode_window(zonbode))
    current = pidgin.call("PurpleSavedstatusGetCurrent")
    check(pidgin.call("PurpleSavedstatusGetCreationTime", current) == created,
          "closing the window did not bring the user's status back")
    check(pidgin.call("PurpleSavedstatusGetMessage", current) == "In overleg",
          f"status message after closing: {pidgin.call('PurpleSavedstatusGetMessage', current)!r}")

    # A run that is killed leaves its text in Pidgin; the next run tells it from the user's
    # (the settings keep both) and its close brings the user's status back.
    for run in ("killed", "next"):
        wait_until_no_copy_is_on_the_bus(desktop)
        zonbode = desktop.start_zonbode()
        _, line = desktop.records.next(90)
        check(line == expected, f"{run} run's first record: {line}")
        pidgin.expect_message(text, f"{run} run")
        if run == "killed":
            zonbode.kill()
            zonbode.wait(timeout=30)
            wait_until_no_copy_is_on_the_bus(desktop)
    desktop.close_as_window_manager(zonbode, desktop.zonbode_window(zonbode))
    current = pidgin.call("PurpleSavedstatusGetCurrent")
    check(pidgin.call("PurpleSavedstatusGetCreationTime", current) == created,
          "after a killed run, closing did not bring the user's status back")
    print(f"Pidgin showed {text!r} and got its own status back, after a killed run too")
    pidgin.quit()


SCENARIOS = {"double-click": scenario_double_click, "close": scenario_close,
             "auto-mode": scenario_auto_mode, "second-start": scenario_second_start,
             "tray": scenario_tray,
             "pidgin": scenario_pidgin, "slack": scenario_slack, "teams": scenario_teams}


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("scenario", choices=sorted(SCENARIOS))
    parser.add_argument("--zonbode", required=True)
    parser.add_argument("--psm-listen", required=True)
    parser.add_argument("--demo-server", required=True)
    parser.add_argument("--cli", required=True)
    parser.add_argument("--recorded-api", required=True)
    parser.add_argument("--answers", required=True)
    args = parser.parse_args()

    for tool in ("Xvfb", "dbus-run-session", "xdotool"):
        if shutil.which(tool) is None:
            print(f"SKIPPED: {tool} is not installed (packages xvfb, dbus and xdotool)")
            return SKIP
    if os.environ.get("ZONBODE_E2E_ON_PRIVATE_BUS") != "1":
        # Run again on a session bus of our own, so no other program's receiver takes part.
        env = dict(os.environ, ZONBODE_E2E_ON_PRIVATE_BUS="1")
        return subprocess.run(["dbus-run-session", "--", sys.executable] + sys.argv,
                              env=env).returncode

    desktop = Desktop(args)
    return run_scenario(args.scenario, lambda: SCENARIOS[args.scenario](desktop, args),
                        desktop.close)


if __name__ == "__main__":
    sys.exit(main())
