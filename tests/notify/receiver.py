#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""The notification services on loopback, for the tests: ntfy, Pushover,
Telegram and a webhook over HTTPS with a certificate authority of its own,
made with openssl at start.

    receiver.py FOLDER

FOLDER receives ca.pem (the authority to trust), ca.reg (the same for a
wine prefix's store), ports.json and requests.log (one JSON line per
request: when it came, what it was, what was wrong with it). It serves
until it is ended (with-receiver.sh runs it around a test).

The first part of a request's path says how to answer: ok, error500,
busy429 (Retry-After: 7), stall (no answer for 35 s) or refuse (the
service's 401). The rest is the service's own path: /<topic> for ntfy,
/1/messages.json for Pushover, /bot<token>/sendMessage for Telegram,
/hook for the webhook. A request that is not what the service takes is
answered 400 with what was wrong, in the service's own form.

Ports: "https" (the trusted certificate for localhost), "rogue" (a
certificate from an authority nobody trusts) and "wrongName" (the trusted
authority, another host's name).
"""
import http.server
import json
import os
import socketserver
import ssl
import struct
import subprocess
import sys
import threading
import time
import urllib.parse

FOLDER = sys.argv[1]
LOG_LOCK = threading.Lock()


def openssl(*args):
    subprocess.run(["openssl", *args], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def make_authority(name):
    key, cert = os.path.join(FOLDER, name + ".key"), os.path.join(FOLDER, name + ".pem")
    openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", cert, "-days", "2",
            "-subj", "/CN=Nortavi test " + name, "-addext", "basicConstraints=critical,CA:TRUE",
            "-addext", "keyUsage=critical,keyCertSign,cRLSign")
    return key, cert


def make_server_cert(name, authority, alt_names):
    key, csr, cert = (os.path.join(FOLDER, name + suffix) for suffix in (".key", ".csr", ".pem"))
    ext = os.path.join(FOLDER, name + ".ext")
    with open(ext, "w") as f:
        f.write("subjectAltName=" + alt_names + "\nextendedKeyUsage=serverAuth\n"
                "basicConstraints=CA:FALSE\nkeyUsage=digitalSignature,keyEncipherment\n")
    openssl("req", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", csr, "-subj", "/CN=" + name)
    openssl("x509", "-req", "-in", csr, "-CA", authority[1], "-CAkey", authority[0], "-CAcreateserial",
            "-out", cert, "-days", "2", "-extfile", ext)
    return cert, key


def wine_registry_file(ca_pem):
    """The authority as wine's crypt32 reads the user's Root store."""
    der = subprocess.run(["openssl", "x509", "-in", ca_pem, "-outform", "DER"], check=True,
                         capture_output=True).stdout
    thumbprint = subprocess.run(["openssl", "x509", "-in", ca_pem, "-noout", "-fingerprint", "-sha1"],
                                check=True, capture_output=True, text=True).stdout
    thumbprint = thumbprint.strip().split("=")[1].replace(":", "").upper()
    blob = struct.pack("<III", 32, 1, len(der)) + der  # CERT_CERT_PROP_ID, then the DER
    hex_bytes = ",".join("%02x" % b for b in blob)
    with open(os.path.join(FOLDER, "ca.reg"), "w") as f:
        f.write("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Microsoft\\SystemCertificates\\Root\\"
                "Certificates\\%s]\n\"Blob\"=hex:%s\n" % (thumbprint, hex_bytes))


def problems(service, path, headers, body):
    """What is wrong with a request to this service; empty when nothing."""
    wrong = []
    if headers.get("User-Agent", "").split("/")[0] != "Nortavi":
        wrong.append("User-Agent is %r" % headers.get("User-Agent"))
    if service == "ntfy":
        if headers.get("Content-Type", "").split(";")[0] != "text/plain":
            wrong.append("Content-Type is %r" % headers.get("Content-Type"))
        if not headers.get("Title", "").startswith("Nortavi: "):
            wrong.append("Title is %r" % headers.get("Title"))
        if headers.get("Priority") not in ("3", "5"):
            wrong.append("Priority is %r" % headers.get("Priority"))
        if not headers.get("Tags"):
            wrong.append("no Tags")
        auth = headers.get("Authorization")
        if auth is not None and not auth.startswith("Bearer tk_"):
            wrong.append("Authorization is %r" % auth)
        if not body:
            wrong.append("no message")
    elif service == "pushover":
        if headers.get("Content-Type") != "application/x-www-form-urlencoded":
            wrong.append("Content-Type is %r" % headers.get("Content-Type"))
        form = urllib.parse.parse_qs(body.decode(), strict_parsing=True, keep_blank_values=True)
        for field in ("token", "user", "title", "message", "priority"):
            if len(form.get(field, [])) != 1:
                wrong.append("field %s is %r" % (field, form.get(field)))
        if form.get("priority") == ["2"] and (int(form.get("retry", ["0"])[0]) < 30 or "expire" not in form):
            wrong.append("priority 2 without retry >= 30 and expire")
    elif service in ("telegram", "webhook"):
        if headers.get("Content-Type") != "application/json":
            wrong.append("Content-Type is %r" % headers.get("Content-Type"))
        try:
            document = json.loads(body)
        except ValueError as error:
            return ["the body is not JSON: %s" % error]
        needed = ("chat_id", "text") if service == "telegram" else (
            "event", "condition", "status", "feed", "minutesSinceClear", "minutesSinceCloudy",
            "minutesSinceVeryCloudy", "statusFileTime", "sentAt", "version", "text")
        for key in needed:
            if key not in document:
                wrong.append("no %s" % key)
    return wrong


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    disable_nagle_algorithm = True  # the head and the body of an answer go at once, as a real server sends them

    def log_message(self, *args):
        pass

    def answer(self, status, body, content_type="application/json", extra=()):
        data = body.encode() if isinstance(body, str) else body
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(data)))
        for name, value in extra:
            self.send_header(name, value)
        self.end_headers()
        self.wfile.write(data)

    def do_POST(self):
        received = time.time()
        body = self.rfile.read(int(self.headers.get("Content-Length", "0")))
        parts = self.path.split("/")
        mode = parts[1] if len(parts) > 1 else ""
        rest = "/" + "/".join(parts[2:])
        if rest == "/1/messages.json":
            service = "pushover"
        elif rest.startswith("/bot") and rest.endswith("/sendMessage"):
            service = "telegram"
        elif rest == "/hook":
            service = "webhook"
        else:
            service = "ntfy"
        wrong = [] if self.command == "POST" else ["method %s" % self.command]
        wrong += problems(service, rest, self.headers, body)
        with LOG_LOCK, open(os.path.join(FOLDER, "requests.log"), "a") as log:
            log.write(json.dumps({"time": received, "port": self.server.server_address[1], "mode": mode,
                                  "service": service, "path": self.path, "wrong": wrong,
                                  "headers": dict(self.headers), "body": body.decode(errors="replace")}) + "\n")
        if wrong:
            words = "; ".join(wrong)
            self.answer(400, json.dumps({"ntfy": {"error": words}, "pushover": {"errors": [words], "status": 0},
                                         "telegram": {"ok": False, "description": words}}.get(service,
                                                                                              {"error": words})))
        elif mode == "error500":
            self.answer(500, "the server had a problem", "text/plain")
        elif mode == "busy429":
            self.answer(429, json.dumps({"error": "limit reached"}), extra=[("Retry-After", "7")])
        elif mode == "stall":
            time.sleep(35)
            self.answer(500, "too late", "text/plain")
        elif mode == "refuse":
            self.answer(401, json.dumps({"ntfy": {"code": 40101, "http": 401, "error": "unauthorized"},
                                         "pushover": {"errors": ["application token is invalid"], "status": 0},
                                         "telegram": {"ok": False, "error_code": 401,
                                                      "description": "Unauthorized"}}.get(service,
                                                                                          {"error": "no"})))
        elif service == "pushover":
            self.answer(200, json.dumps({"status": 1, "request": "test"}))
        elif service == "telegram":
            self.answer(200, json.dumps({"ok": True, "result": {"message_id": 1}}))
        else:
            self.answer(200, json.dumps({"id": "test", "event": "message"}))

    do_GET = do_PUT = do_POST


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True


def serve(certificate):
    server = Server(("127.0.0.1", 0), Handler)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(*certificate)
    server.socket = context.wrap_socket(server.socket, server_side=True)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server.server_address[1]


def main():
    os.makedirs(FOLDER, exist_ok=True)
    trusted = make_authority("ca")
    rogue = make_authority("rogue-ca")
    ports = {
        "https": serve(make_server_cert("loopback", trusted, "IP:127.0.0.1,DNS:localhost")),
        "rogue": serve(make_server_cert("rogue", rogue, "IP:127.0.0.1,DNS:localhost")),
        "wrongName": serve(make_server_cert("elsewhere", trusted, "DNS:elsewhere.invalid")),
    }
    wine_registry_file(trusted[1])
    open(os.path.join(FOLDER, "requests.log"), "a").close()
    with open(os.path.join(FOLDER, "ports.json.tmp"), "w") as f:
        json.dump(ports, f)
    os.replace(os.path.join(FOLDER, "ports.json.tmp"), os.path.join(FOLDER, "ports.json"))
    print(json.dumps(ports), flush=True)
    threading.Event().wait()  # until it is ended


if __name__ == "__main__":
    main()
