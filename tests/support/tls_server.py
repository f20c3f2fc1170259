#!/usr/bin/env python3
"""An HTTPS server on loopback whose certificate nobody trusts: self-signed, made at start with
openssl in a folder of its own. Prints "listening on 127.0.0.1:PORT", then answers every GET
with 200 and "{}" until killed."""
import http.server
import os
import ssl
import subprocess
import tempfile


class Answer(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        self.send_response(200)
        self.send_header("Content-Type", "application/json")
        self.send_header("Content-Length", "2")
        self.end_headers()
        self.wfile.write(b"{}")

    def log_message(self, *args):
        pass


def main():
    with tempfile.TemporaryDirectory() as folder:
        cert, key = os.path.join(folder, "cert.pem"), os.path.join(folder, "key.pem")
        subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1",
                        "-subj", "/CN=127.0.0.1", "-keyout", key, "-out", cert],
                       check=True, capture_output=True)
        server = http.server.HTTPServer(("127.0.0.1", 0), Answer)
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(cert, key)
        server.socket = context.wrap_socket(server.socket, server_side=True)
        print(f"listening on 127.0.0.1:{server.server_address[1]}", flush=True)
        server.serve_forever()


if __name__ == "__main__":
    main()
