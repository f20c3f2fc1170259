#!/usr/bin/env python3
"""A stand-in for Open-Meteo's forecast API on loopback, answering from recorded files.

    recorded_api.py ANSWERS_DIR

Prints "listening on 127.0.0.1:PORT" and serves until killed. The first path element picks
the answer, so one server serves every case: GET /CASE/v1/forecast?QUERY answers
ANSWERS_DIR/CASE.json, "/http-500/..." an internal error and "/silent/..." nothing at all
(the connection stays open). A query other than the gateway's request is answered 400 with
an error in the API's shape.
"""
import json
import sys
import threading
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from pathlib import Path
from urllib.parse import parse_qs, urlsplit

DAILY = ("sunshine_duration,daylight_duration,precipitation_probability_max,precipitation_sum,"
         "temperature_2m_min,temperature_2m_max,wind_direction_10m_dominant,wind_speed_10m_max")
FIXED = {"daily": DAILY, "wind_speed_unit": "ms", "timezone": "Europe/Amsterdam",
         "forecast_days": "7"}


def query_problem(query):
    fields = parse_qs(query, keep_blank_values=True)
    if any(len(values) != 1 for values in fields.values()):
        return "a parameter is given twice"
    fields = {name: values[0] for name, values in fields.items()}
    if set(fields) != set(FIXED) | {"latitude", "longitude"}:
        return "unexpected parameters: " + ",".join(sorted(fields))
    for name, value in FIXED.items():
        if fields[name] != value:
            return f"{name} is {fields[name]!r}, not {value!r}"
    try:
        float(fields["latitude"]), float(fields["longitude"])
    except ValueError:
        return "latitude and longitude must be numbers"
    return None


class RecordedApi(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    answers = Path(".")
    never = threading.Event()

    def answer(self, status, body):
        self.send_response(status)
        self.send_header("Content-Type", "application/json; charset=utf-8")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def error(self, status, reason):
        self.answer(status, json.dumps({"error": True, "reason": reason}).encode())

    def do_GET(self):
        url = urlsplit(self.path)
        case, _, rest = url.path.lstrip("/").partition("/")
        if rest != "v1/forecast":
            return self.error(404, "no such endpoint: " + url.path)
        problem = query_problem(url.query)
        if problem:
            return self.error(400, problem)
        if case == "http-500":
            return self.error(500, "the recorded service fails")
        if case == "silent":
            self.never.wait()  # until the process is killed
            return None
        recorded = self.answers / (case + ".json")
        if not recorded.is_file():
            return self.error(404, "no recorded answer " + case)
        return self.answer(200, recorded.read_bytes())

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
