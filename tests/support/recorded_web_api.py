"""What the recorded web services of the tests share: a python3 HTTP server on 127.0.0.1, on a
thread of its own, that hands each request to its service and sends back what it answers."""

import http.server
import threading


class RecordedWebApi:
    """A service answers `answer(request, body)` with (status, headers, body), or None to close
    the connection without an answer. start() listens on a free loopback port; stop() ends it."""

    def start(self):
        api = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                self.respond(b"")

            def do_POST(self):
                self.respond(self.rfile.read(int(self.headers.get("Content-Length", "0"))))

            def respond(self, body):
                answer = api.answer(self, body)
                if answer is None:
                    self.close_connection = True
                    return
                code, headers, reply = answer
                self.send_response(code)
                for name, value in headers:
                    self.send_header(name, value)
                self.send_header("Content-Type", "application/json; charset=utf-8")
                self.send_header("Content-Length", str(len(reply)))
                self.end_headers()
                self.wfile.write(reply)

            def log_message(self, *args):
                pass

        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.port = self.server.server_address[1]
        threading.Thread(target=self.server.serve_forever, daemon=True).start()

    def stop(self):
        self.server.shutdown()
        self.server.server_close()


def serve_until_killed(api):
    """Run as a program: says where it listens, for the C++ tests, and serves until killed."""
    print(f"listening on 127.0.0.1:{api.port}", flush=True)
    threading.Event().wait()
