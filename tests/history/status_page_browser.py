#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The status page in a real browser: Debian's chromium, headless, loads the
page nortavi-replay serves after a scripted night, at a phone's width and a
desktop's. The screenshots are checked by pixels (the condition and the
status in their colours, the chart's bands), the page's DOM by its text,
and every request chromium makes goes through a proxy of ours that passes
on only those for the page's own server: none leaves the machine. The page
itself asks for nothing more; chromium's own calls to Google's update and
sign-in services (which its flags do not all stop) are refused there, and
could not resolve a name anyway.

    status_page_browser.py [--save FOLDER] NORTAVI_REPLAY    exit 0 pass, 1 fail

--save FOLDER keeps the two screenshots there (docs/ holds them).
"""
import argparse
import http.server
import json
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import urllib.parse
import urllib.request

failures = []

# Where chromium calls home by itself, whatever the page.
CHROMIUM_OWN = ("google.com", "googleapis.com", "gvt1.com")

# The page's colours, as the window shows them.
GREEN, ORANGE, RED = (0, 255, 0), (255, 128, 0), (255, 0, 0)
NOT_RUNNING = (225, 225, 225)

# Clear from 20:00; clouds at 22:00 and their alarm cancelled at the button;
# clear again; the feed gone for twenty minutes; clouds from midnight, the
# alarm sounding at 01:00.
NIGHT = """config statusPath,{dir}status.txt
utcoffset +01:00
now 2026-12-07 20:00:00
sensor CLEAR
start
run 2h
sensor CLOUDY
run 40m
click
sensor CLEAR
run 30m
sensor off
run 20m
sensor CLEAR
run 30m
sensor CLOUDY
run 1h""".splitlines()


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what, flush=True)


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


class Proxy(http.server.ThreadingHTTPServer):
    """Every request the browser makes: passed on to the page's server when
    it asks for it, refused otherwise."""

    def __init__(self, allowed):
        self.allowed, self.seen = allowed, []
        super().__init__(("127.0.0.1", 0), ProxyHandler)


class ProxyHandler(http.server.BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def handle_one(self):
        self.server.seen.append((self.command, self.path))
        if self.command != "GET" or not self.path.startswith(self.server.allowed):
            self.send_error(502, "not to leave the machine")
            return
        with urllib.request.urlopen(self.path, timeout=10) as answer:
            body = answer.read()
            self.send_response(answer.status)
            self.send_header("Content-Type", answer.headers["Content-Type"])
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)

    do_GET = do_POST = do_HEAD = do_CONNECT = do_PUT = do_OPTIONS = handle_one


def chromium(url, proxy, profile, *what):
    command = ["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
               "--disable-background-networking", "--disable-component-update", "--disable-sync",
               f"--user-data-dir={profile}", "--host-resolver-rules=MAP * ~NOTFOUND, EXCLUDE 127.0.0.1",
               f"--proxy-server=http://127.0.0.1:{proxy}", "--proxy-bypass-list=<-loopback>", *what, url]
    return subprocess.run(command, capture_output=True, text=True, timeout=120)


def pixels(png):
    """The screenshot as (width, height, rows of RGB triples), through ImageMagick."""
    raw = subprocess.run(["convert", png, "-depth", "8", "rgb:-"], capture_output=True, check=True).stdout
    size = subprocess.run(["identify", "-format", "%w %h", png], capture_output=True, text=True, check=True)
    width, height = map(int, size.stdout.split())
    return width, height, [[tuple(raw[(y * width + x) * 3:(y * width + x) * 3 + 3]) for x in range(width)]
                           for y in range(height)]


def host(path):
    """The host a proxied request is for: CONNECT host:port, or an absolute URL."""
    return urllib.parse.urlsplit(path if "://" in path else "//" + path).hostname or ""


def count(rows, colour, y0):
    return sum(pixel == colour for row in rows[y0:] for pixel in row)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--save")
    parser.add_argument("replay")
    args = parser.parse_args()
    if shutil.which("chromium") is None:
        print("chromium is not installed (scripts/lib/packages.sh lists it)")
        return 1

    port, discovery = free_port(), free_port()
    replay = subprocess.Popen([args.replay], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, bufsize=1)
    for line in NIGHT + [f"alpaca {port} {discovery}"]:
        replay.stdin.write(line + "\n")
    replay.stdin.flush()
    answers = [replay.stdout.readline() for _ in range(8)]
    check(answers[-1].strip() == f"alpaca: serving on {port}", f"the replay serves: {answers}")

    base = f"http://127.0.0.1:{port}/"
    proxy = Proxy(base)
    threading.Thread(target=proxy.serve_forever, daemon=True).start()
    work = tempfile.mkdtemp(prefix="nortavi-page-")
    try:
        shots = {}
        for name, size in [("phone", "390,844"), ("desktop", "960,520")]:
            shots[name] = os.path.join(work, f"page-{name}.png")
            run = chromium(base, proxy.server_address[1], os.path.join(work, f"profile-{name}"),
                           f"--window-size={size}", f"--screenshot={shots[name]}")
            check(os.path.exists(shots[name]), f"chromium took the {name} screenshot: {run.stderr[-400:]}")
        dom = chromium(base, proxy.server_address[1], os.path.join(work, "profile-dom"), "--dump-dom").stdout

        # Text: what the window shows, the chart as SVG, nothing that loads.
        for text in ["<b>CLOUDY</b>", "<b>UNSAFE</b>", "Alarm sounding: unsafe", 'id="clear">60<',
                     'id="cloudy">0<', 'id="vcloudy">300<', "Status file: fresh", '<svg xmlns="http://www.w3.org/2000/svg" class="wide"',
                     'http-equiv="refresh" content="5"', 'name="viewport"']:
            check(text in dom, f"the page says {text}")
        for text in ["<script", "src=", "url(", "@import"]:
            check(text not in dom, f"the page holds no {text}")

        # Pixels: the two boxes in their colours at the top, side by side
        # or one above the other; the chart's bands below them.
        for name, least in [("phone", 2000), ("desktop", 8000)]:
            if not os.path.exists(shots[name]):
                continue
            width, height, rows = pixels(shots[name])
            top = rows[:200]
            check(count(top, ORANGE, 0) > 5000 and count(top, RED, 0) > 5000,
                  f"{name}: the condition box orange and the status box red")
            check(count(rows, GREEN, 200) > least and count(rows, NOT_RUNNING, 200) > least,
                  f"{name}: the chart shows the clear hours and those before the start")
            check(count(rows, ORANGE, 200) > least / 8 and count(rows, RED, 200) > least / 8,
                  f"{name}: the chart shows the cloudy hour, unsafe")

        # The page was asked for three times, and nothing else of this
        # machine; nothing that was not the page went through.
        ours = [seen for seen in proxy.seen if seen[1].startswith(base)]
        others = [seen for seen in proxy.seen if not seen[1].startswith(base)]
        check(ours == [("GET", base)] * 3, f"the page, and nothing beside it, was asked for: {ours}")
        check(all(host(path).endswith(CHROMIUM_OWN) for _, path in others),
              f"nothing else was asked for but chromium's own calls home: {others}")
        print(f"refused at the proxy: {len(others)} of chromium's own calls home "
              f"({', '.join(sorted({host(path) for _, path in others}))})")

        # The data, and the Alpaca device beside the page as before.
        with urllib.request.urlopen(base + "history.json", timeout=10) as answer:
            data = json.load(answer)
        check(data["now"]["condition"] == "CLOUDY" and data["sky"][-1]["state"] == "CLOUDY"
              and data["from"] == "2026-12-07T13:00:00+01:00", f"history.json: {str(data)[:300]}")
        with urllib.request.urlopen(base + "api/v1/safetymonitor/0/name", timeout=10) as answer:
            check(json.load(answer)["Value"] == "Nortavi", "the Alpaca device still answers")
        with urllib.request.urlopen(base + "weather/safety", timeout=10) as answer:
            check(json.load(answer)["roof_status"]["open_ok"] == 0, "the weather verdict still answers")

        if args.save:
            for name, shot in shots.items():
                shutil.copy(shot, os.path.join(args.save, f"screenshot-page-{name}.png"))
    finally:
        proxy.shutdown()
        replay.stdin.close()
        replay.wait(timeout=60)
        shutil.rmtree(work, ignore_errors=True)
    print("PASS" if not failures else f"{len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
