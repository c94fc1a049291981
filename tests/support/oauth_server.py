#!/usr/bin/env python3
"""A small OAuth 2.0 authorization server on loopback for the sign-in tests.

  oauth_server.py CLIENT_ID [CLIENT_SECRET]

Prints its port on the first line of standard output, then serves until standard input closes
(the test ends) or it is killed. Endpoints:
  GET  /authorize   the authorization-code request (PKCE S256 required); redirects the browser
                    to redirect_uri with a code and the state, or with error=access_denied when
                    the login_hint is "deny@example.org"
  POST /token       the authorization_code grant (verifier checked against the challenge) and
                    the refresh_token grant; refresh tokens are replaced on each refresh
  POST /introspect  RFC 7662 token introspection, for a mail server that checks access tokens
  POST /control     the test's levers: expires_in=N, revoke=1 (every refresh token refused)
  GET  /stats       counters as JSON
"""
import base64
import hashlib
import json
import secrets
import sys
import threading
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

CLIENT_ID = sys.argv[1]
CLIENT_SECRET = sys.argv[2] if len(sys.argv) > 2 else ""

lock = threading.Lock()
codes = {}           # code -> (challenge, redirect_uri, user)
refresh_tokens = {}  # refresh token -> user
access_tokens = {}   # access token -> user
settings = {"expires_in": 3600}
stats = {"authorize": 0, "code_grants": 0, "refresh_grants": 0, "refused": 0, "introspect": 0, "verifier_mismatch": 0,
         "last_error": ""}


def challenge_of(verifier):
    digest = hashlib.sha256(verifier.encode("ascii")).digest()
    return base64.urlsafe_b64encode(digest).decode("ascii").rstrip("=")


def issue(user):
    access = "at-" + secrets.token_urlsafe(12)
    refresh = "rt-" + secrets.token_urlsafe(12)
    access_tokens[access] = user
    refresh_tokens[refresh] = user
    return {"access_token": access, "token_type": "Bearer",
            "expires_in": settings["expires_in"], "refresh_token": refresh}


class Handler(BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def send_json(self, status, body):
        data = json.dumps(body).encode()
        self.send_response(status)
        self.send_header("Content-Type", "application/json")
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    def refuse(self, error, description):
        with lock:
            stats["refused"] += 1
            stats["last_error"] = error + ": " + description
        self.send_json(400, {"error": error, "error_description": description})

    def form(self):
        length = int(self.headers.get("Content-Length", "0"))
        body = self.rfile.read(length).decode()
        if self.headers.get("Content-Type", "").split(";")[0].strip() != \
                "application/x-www-form-urlencoded":
            return None
        return {k: v[0] for k, v in urllib.parse.parse_qs(body, keep_blank_values=True).items()}

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        query = {k: v[0] for k, v in urllib.parse.parse_qs(url.query).items()}
        if url.path == "/stats":
            with lock:
                self.send_json(200, stats)
            return
        if url.path != "/authorize":
            self.send_json(404, {})
            return
        with lock:
            stats["authorize"] += 1
        redirect = query.get("redirect_uri", "")
        target = urllib.parse.urlsplit(redirect)
        if (query.get("client_id") != CLIENT_ID or query.get("response_type") != "code"
                or query.get("code_challenge_method") != "S256"
                or not query.get("code_challenge") or target.scheme != "http"
                or target.hostname not in ("127.0.0.1", "localhost")):
            self.send_json(400, {"error": "invalid_request"})
            return
        answer = {"state": query.get("state", "")}
        user = query.get("login_hint", "")
        if user == "deny@example.org":
            answer["error"] = "access_denied"
            answer["error_description"] = "The user said no"
        else:
            code = "code-" + secrets.token_urlsafe(12)
            with lock:
                codes[code] = (query["code_challenge"], redirect, user)
            answer["code"] = code
        self.send_response(302)
        self.send_header("Location", redirect + "?" + urllib.parse.urlencode(answer))
        self.send_header("Content-Length", "0")
        self.end_headers()

    def do_POST(self):
        form = self.form()
        if form is None:
            self.refuse("invalid_request", "not a form")
            return
        if self.path == "/stats":
            with lock:
                self.send_json(200, stats)
            return
        if self.path == "/control":
            with lock:
                if "expires_in" in form:
                    settings["expires_in"] = int(form["expires_in"])
                if form.get("revoke") == "1":
                    refresh_tokens.clear()
            self.send_json(200, {})
            return
        if self.path == "/introspect":
            with lock:
                stats["introspect"] += 1
                user = access_tokens.get(form.get("token", ""))
            self.send_json(200, {"active": True, "username": user, "scope": "pop"}
                           if user else {"active": False})
            return
        if self.path != "/token":
            self.send_json(404, {})
            return
        if form.get("client_id") != CLIENT_ID or form.get("client_secret", "") != CLIENT_SECRET:
            self.refuse("invalid_client", "unknown client")
            return
        grant = form.get("grant_type")
        with lock:
            if grant == "authorization_code":
                stats["code_grants"] += 1
                found = codes.pop(form.get("code", ""), None)
                if found is None:
                    pass
                elif found[1] != form.get("redirect_uri"):
                    found = None
                elif challenge_of(form.get("code_verifier", "")) != found[0]:
                    stats["verifier_mismatch"] += 1
                    found = None
                if found is not None:
                    self.send_json(200, issue(found[2]))
                    return
            elif grant == "refresh_token":
                stats["refresh_grants"] += 1
                user = refresh_tokens.pop(form.get("refresh_token", ""), None)
                if user is not None:
                    self.send_json(200, issue(user))
                    return
            else:
                self.send_json(400, {"error": "unsupported_grant_type"})
                return
        self.refuse("invalid_grant", "the grant is not valid")


server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
print(server.server_address[1], flush=True)
threading.Thread(target=server.serve_forever, daemon=True).start()
sys.stdin.read()
server.shutdown()
