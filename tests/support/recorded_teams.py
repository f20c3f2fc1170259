"""The Microsoft identity platform and Microsoft Graph as the tests of both programs record
them: a python3 server on 127.0.0.1 that answers the device code sign-in, token renewals, /me,
/me/presence and /me/presence/setStatusMessage in their documented shapes, and records what it
was sent.

Imported, TeamsApi serves the end-to-end tests; its login URL is `url + "/login"`, its Graph URL
`url + "/graph"`. Run as a program (recorded_teams.py), it prints "listening on
127.0.0.1:PORT" and serves until killed; the C++ tests steer it with POST /control/set (any
of "status", "token_script", "interval", "refuse", "refresh_tokens", "graph_down") and read GET
/control/calls (the calls so far, which it clears, and the status message shown)."""

import json
import sys
from urllib.parse import parse_qs

from recorded_web_api import RecordedWebApi, serve_until_killed

CLIENT_ID = "7d5a3a0e-0000-4000-8000-00000000e2e7"
REFRESH_TOKEN = "rt-e2e-seeded-secret"
USERS_OWN = {"message": {"content": "Werk vanuit Utrecht", "contentType": "text"},
             "expiryDateTime": {"dateTime": "9999-12-31T00:00:00.0000000", "timeZone": "UTC"}}


class TeamsApi(RecordedWebApi):
    """One user: Ann, with a status message; the sign-in answers follow `token_script` (each
    device-code poll takes the next entry: "authorization_pending", "slow_down",
    "expired_token", "authorization_declined" or "granted"); refresh tokens in `refresh_tokens`
    are good and each renewal hands out a new one; `refuse` = (429 or 503, seconds) refuses
    every Graph call; `graph_down` closes every Graph connection without an answer."""

    def __init__(self, status=None):
        self.status = status  # the statusMessage object, or None
        self.calls = []
        self.token_script = ["granted"]
        self.interval = 1
        self.refuse = None
        self.refresh_tokens = [REFRESH_TOKEN]
        self.graph_down = False
        self.access_tokens = set()
        self.issued = 0
        self.start()
        self.url = f"http://127.0.0.1:{self.port}"

    def answer(self, request, body):
        if request.path.startswith("/control/"):
            return self.control(request.path, body)
        if self.graph_down and request.path.startswith("/graph/"):
            return None  # no answer at all
        self.calls.append((request.command, request.path, request.headers.get("Authorization"),
                           body.decode("utf-8", "replace")))
        return self.reply(request.path, request.headers, body)

    def tokens(self):
        self.issued += 1
        access, refresh = f"at-{self.issued}", f"rt-{self.issued}"
        self.access_tokens.add(access)
        self.refresh_tokens.append(refresh)
        return 200, [], json.dumps({"token_type": "Bearer", "scope": "Presence.ReadWrite",
                                    "expires_in": 3599, "ext_expires_in": 3599,
                                    "access_token": access, "refresh_token": refresh}).encode()

    @staticmethod
    def error(code, error):
        return code, [], json.dumps({"error": error, "error_description": error + ": recorded",
                                     "error_codes": [70016]}).encode()

    def reply(self, path, headers, body):
        if path.startswith("/login/"):
            form = {k: v[0] for k, v in parse_qs(body.decode()).items()}
            if form.get("client_id") != CLIENT_ID:
                return self.error(400, "unauthorized_client")
            if path.endswith("/oauth2/v2.0/devicecode"):
                return 200, [], json.dumps({
                    "user_code": "KVL7-ZNBD", "device_code": "dc-recorded",
                    "verification_uri": "https://microsoft.com/devicelogin", "expires_in": 900,
                    "interval": self.interval,
                    "message": "To sign in, use a web browser to open the page "
                               "https://microsoft.com/devicelogin and enter the code KVL7-ZNBD "
                               "to authenticate."}).encode()
            if form.get("grant_type") == "refresh_token":
                if form.get("refresh_token") not in self.refresh_tokens:
                    return self.error(400, "invalid_grant")
                self.refresh_tokens.remove(form["refresh_token"])
                return self.tokens()
            step = self.token_script.pop(0) if self.token_script else "expired_token"
            return self.tokens() if step == "granted" else self.error(400, step)
        if not path.startswith("/graph/v1.0/"):
            return 404, [], b"{}"
        if self.refuse:
            return (self.refuse[0], [("Retry-After", str(self.refuse[1]))],
                    json.dumps({"error": {"code": "TooManyRequests", "message": "recorded"}}).encode())
        if headers.get("Authorization", "").removeprefix("Bearer ") not in self.access_tokens:
            return 401, [], json.dumps({"error": {"code": "InvalidAuthenticationToken",
                                                  "message": "recorded"}}).encode()
        if path == "/graph/v1.0/me":
            return 200, [], json.dumps({"displayName": "Ann de Vries",
                                        "userPrincipalName": "ann@kavelo.nl"}).encode()
        if path == "/graph/v1.0/me/presence":
            return 200, [], json.dumps({"id": "ann", "availability": "Available",
                                        "activity": "Available",
                                        "statusMessage": self.status}).encode()
        if path == "/graph/v1.0/me/presence/setStatusMessage":
            message = json.loads(body)["statusMessage"]
            self.status = message if message["message"]["content"] else None
            return 200, [], b""
        return 404, [], b"{}"

    def control(self, path, body):
        if path == "/control/calls":
            calls, self.calls = self.calls, []
            return 200, [], json.dumps({"calls": calls, "status": self.status}).encode()
        for key, value in json.loads(body or b"{}").items():
            setattr(self, key, value)
        return 200, [], b"{}"


def main():
    serve_until_killed(TeamsApi(USERS_OWN))


if __name__ == "__main__":
    sys.exit(main())
