#!/usr/bin/env python3
"""A stand-in for Open-Meteo's forecast and geocoding APIs on loopback, answering from
recorded files.

    recorded_api.py ANSWERS_DIR

Prints "listening on 127.0.0.1:PORT" and serves until killed. The first path element picks
the answer, so one server serves every case:

  GET /CASE/v1/forecast?QUERY   ANSWERS_DIR/CASE.json
  GET /CASE/v1/search?QUERY     ANSWERS_DIR/search-NAME.json (NAME in lower case, blanks as
                                "-"); without that file an answer without "results" (no match)
  CASE "http-429", "http-500", "http-503"   that error, in the API's shape
  CASE "silent"                 nothing at all (the connection stays open)
  CASE "cutoff"                 the head and a part of the body, then the connection ends
  CASE "hangup"                 the connection ends before any answer
  CASE "live"                   the case last set with GET /set/CASE ("week" at first)
  CASE "held"                   nothing until GET /release, then "http-500"'s answer;
                                GET /held answers how many wait so far
  CASE "flaky"                  "week"'s answers, but every fifth request "http-500"'s
  POST /echo                    what was asked: {"method", "headers", "body"}, as JSON

A query other than the programs' own requests is answered 400 with an error in the API's shape.
"""
import json
import re
import sys
import threading
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from pathlib import Path
from urllib.parse import parse_qs, urlsplit

DAILY = ("sunshine_duration,daylight_duration,precipitation_probability_max,precipitation_sum,"
         "temperature_2m_min,temperature_2m_max,wind_direction_10m_dominant,wind_speed_10m_max")
FORECAST = {"daily": DAILY, "wind_speed_unit": "ms", "forecast_days": "7",
            "models": "knmi_seamless"}
SEARCH = {"count": "10", "language": "nl", "format": "json"}
ERRORS = {"http-429": (429, "Too many concurrent requests"),
          "http-500": (500, "the recorded service fails"),
          "http-503": (503, "the recorded service is down for maintenance")}


def query_problem(query, fixed, free):
    fields = parse_qs(query, keep_blank_values=True)
    if any(len(values) != 1 for values in fields.values()):
        return "a parameter is given twice", None
    fields = {name: values[0] for name, values in fields.items()}
    if set(fields) != set(fixed) | set(free):
        return "unexpected parameters: " + ",".join(sorted(fields)), None
    for name, value in fixed.items():
        if fields[name] != value:
            return f"{name} is {fields[name]!r}, not {value!r}", None
    return None, fields


def forecast_problem(query):
    problem, fields = query_problem(query, FORECAST, ("latitude", "longitude", "timezone"))
    if problem:
        return problem
    if not re.fullmatch(r"[A-Za-z0-9_+-]+(/[A-Za-z0-9_+-]+)*", fields["timezone"]):
        return f"timezone {fields['timezone']!r} is not a zone name"
    try:
        float(fields["latitude"]), float(fields["longitude"])
    except ValueError:
        return "latitude and longitude must be numbers"
    return None


class RecordedApi(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    answers = Path(".")
    never = threading.Event()
    released = threading.Event()
    held = 0
    flaky_asked = 0
    live_case = "week"

    def answer(self, status, body, headers=()):
        self.send_response(status)
        self.send_header("Content-Type", "application/json; charset=utf-8")
        self.send_header("Content-Length", str(len(body)))
        for name, value in headers:
            self.send_header(name, value)
        self.end_headers()
        self.wfile.write(body)

    def error(self, status, reason):
        retry = [("Retry-After", "60")] if status in (429, 503) else []
        self.answer(status, json.dumps({"error": True, "reason": reason}).encode(), retry)

    def failure(self, case):
        """Answers a failure case; False when CASE is none."""
        if case in ERRORS:
            self.error(*ERRORS[case])
        elif case == "held":
            RecordedApi.held += 1
            self.released.wait(60)
            self.error(*ERRORS["http-500"])
        elif case == "silent":
            self.never.wait()  # until the process is killed
        elif case == "cutoff":
            self.send_response(200)
            self.send_header("Content-Length", "5000")
            self.end_headers()
            self.wfile.write(b'{"latitude": 52.1, "daily": {"time": [')
            self.close_connection = True
        elif case == "hangup":
            self.close_connection = True
        else:
            return False
        return True

    def do_GET(self):
        url = urlsplit(self.path)
        case, _, rest = url.path.lstrip("/").partition("/")
        if case == "set":
            RecordedApi.live_case = rest
            self.close_connection = True  # the tests' plain client reads until the end
            return self.answer(204, b"", [("Connection", "close")])
        if case == "held" and not rest:
            self.close_connection = True
            return self.answer(200, str(RecordedApi.held).encode(), [("Connection", "close")])
        if case == "release":
            RecordedApi.released.set()
            self.close_connection = True
            return self.answer(204, b"", [("Connection", "close")])
        if case == "live":
            case = RecordedApi.live_case
        if case == "flaky":
            RecordedApi.flaky_asked += 1
            case = "http-500" if RecordedApi.flaky_asked % 5 == 0 else "week"
        if rest == "v1/forecast":
            problem = forecast_problem(url.query)
        elif rest == "v1/search":
            problem, fields = query_problem(url.query, SEARCH, ("name",))
        else:
            return self.error(404, "no such endpoint: " + url.path)
        if problem:
            return self.error(400, problem)
        if self.failure(case):
            return None
        if rest == "v1/search":
            name = fields["name"].lower().replace(" ", "-")
            recorded = self.answers / ("search-" + name + ".json")
            if not recorded.is_file():
                return self.answer(200, b'{"generationtime_ms": 0.3}')
            return self.answer(200, recorded.read_bytes())
        recorded = self.answers / (case + ".json")
        if not recorded.is_file():
            return self.error(404, "no recorded answer " + case)
        return self.answer(200, recorded.read_bytes())

    def do_POST(self):
        body = self.rfile.read(int(self.headers.get("Content-Length", "0")))
        if self.path != "/echo":
            return self.error(404, "no such endpoint: " + self.path)
        asked = {"method": "POST", "headers": dict(self.headers.items()),
                 "body": body.decode("utf-8", "replace")}
        return self.answer(200, json.dumps(asked).encode(), [("X-Echo", "yes")])

    def log_message(self, *args):
        pass


def main():
    RecordedApi.answers = Path(sys.argv[1])
    server = ThreadingHTTPServer(("127.0.0.1", 0), RecordedApi)
    server.daemon_threads = True
    print(f"listening on 127.0.0.1:{server.server_address[1]}", flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
