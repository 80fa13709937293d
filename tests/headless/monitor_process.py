#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""nortavi-monitor as a service runs it: a real process on the simulated
sensor, with no display and no sound server, started under a notify socket
as systemd would. Its journal lines through a change of sky and back, the
Alpaca device it publishes, a reload with a good and with a bad settings
file, a second copy, a wrong command line and the end at SIGTERM.

    monitor_process.py NORTAVI_MONITOR SIMULATED_SENSOR     exit 0 pass, 1 fail
"""
import http.client
import os
import re
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what, flush=True)
    return condition


def free_port(kind):
    with socket.socket(socket.AF_INET, kind) as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def config(status_path, port, discovery, unique_id="", time_to_safe="0"):
    return (f"statusPath,{status_path}\r\ntimeToSafe,{time_to_safe}\r\ntimeToUnsafe,1\r\n"
            "cloudyAsClear,False\r\nalarmOnSafe,True\r\nalarmOnUnsafe,True\r\n"
            f"alpacaServer,True\r\nalpacaPort,{port}\r\nalpacaAllowRemote,False\r\n"
            f"alpacaDiscoveryPort,{discovery}\r\nalpacaUniqueId,{unique_id}\r\n")


class Collected:
    """Lines from a stream, gathered on a thread of their own."""

    def __init__(self, stream):
        self.lines, self.lock = [], threading.Lock()
        threading.Thread(target=self._read, args=(stream,), daemon=True).start()

    def _read(self, stream):
        for line in stream:
            with self.lock:
                self.lines.append(line.rstrip("\n"))

    def all(self):
        with self.lock:
            return list(self.lines)

    def wait_for(self, pattern, timeout, start=0):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            for line in self.all()[start:]:
                if re.search(pattern, line):
                    return line
            time.sleep(0.1)
        return None


class ServiceManager:
    """The notify socket systemd gives a Type=notify service."""

    def __init__(self, folder):
        self.path = os.path.join(folder, "notify")
        self.socket = socket.socket(socket.AF_UNIX, socket.SOCK_DGRAM)
        self.socket.bind(self.path)
        self.socket.settimeout(0.2)
        self.messages = []

    def received(self):
        while True:
            try:
                self.messages.append(self.socket.recv(4096).decode())
            except socket.timeout:
                return self.messages


def alpaca(port, method, member, **parameters):
    connection = http.client.HTTPConnection("127.0.0.1", port, timeout=5)
    form = "&".join(f"{name}={value}" for name, value in
                    {"ClientID": 7, "ClientTransactionID": 1, **parameters}.items())
    path = f"/api/v1/safetymonitor/0/{member}"
    if method == "GET":
        connection.request("GET", f"{path}?{form}")
    else:
        connection.request("PUT", path, form, {"Content-Type": "application/x-www-form-urlencoded"})
    return connection.getresponse().read().decode()


def is_safe(port):
    alpaca(port, "PUT", "connected", Connected="true")
    return '"Value":true' in alpaca(port, "GET", "issafe")


def main():
    monitor, sensor = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    work = tempfile.mkdtemp(prefix="nortavi-monitor-")
    sky = os.path.join(work, "sky")
    os.mkdir(sky)
    status_path = os.path.join(sky, "status.txt")
    settings = os.path.join(work, "settings", "observatory.ini")
    os.mkdir(os.path.dirname(settings))
    port, discovery = free_port(socket.SOCK_STREAM), free_port(socket.SOCK_DGRAM)
    with open(settings, "w", newline="") as file:
        file.write(config(status_path, port, discovery))
    no_cards = os.path.join(work, "no-cards.conf")
    open(no_cards, "w").close()
    manager = ServiceManager(work)
    # What a service has: no display, no sound server, no sound card.
    environment = {"PATH": "/usr/bin:/bin", "HOME": work, "LANG": "C.UTF-8",
                   "PULSE_SERVER": "unix:/nonexistent", "ALSA_CONFIG_PATH": no_cards,
                   "NOTIFY_SOCKET": manager.path, "WATCHDOG_USEC": "10000000",
                   **{k: v for k, v in os.environ.items() if k.endswith("SAN_OPTIONS")}}
    feed = subprocess.Popen([sensor, sky])
    process = None
    try:
        time.sleep(1.5)
        process = subprocess.Popen([monitor, "--config", settings], env=environment, cwd="/",
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        out, err = Collected(process.stdout), Collected(process.stderr)
        # The first poll states the sky; unchanged polls say nothing.
        check(out.wait_for(r"^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d status SAFE$", 10), "status SAFE at start")
        check([re.sub(r"^\S+ \S+ ", "", line) for line in out.all()] ==
              ["condition CLEAR", "feed fresh", "status SAFE"], f"the first lines: {out.all()}")
        with open(settings) as file:
            made = re.search(r"alpacaUniqueId,([0-9a-f-]{36})", file.read())
        check(made, "the unique id made at start is saved at once")
        check(is_safe(port), "IsSafe true while SAFE")

        # Clouds: no button, so the alarm stays up until the sky clears.
        seen = len(out.all())
        with open(os.path.join(sky, "condition"), "w") as file:
            file.write("V.CLOUDY\n")
        check(out.wait_for(r"alarm raised: unsafe$", 60, seen), "the unsafe alarm")
        lines = [re.sub(r"^\S+ \S+ ", "", line) for line in out.all()[seen:]]
        check(lines == ["condition V.CLOUDY (was CLEAR)", "status UNSAFE (was SAFE)", "alarm raised: unsafe"],
              f"lines as the clouds came: {lines}")
        check(not is_safe(port), "IsSafe false while UNSAFE")
        time.sleep(11)
        # Unchanged polls (some thirty seconds of them under the clouds) say nothing.
        check(len(out.all()) == seen + 3, "the alarm raised once, though it sounds at every poll")
        messages = manager.received()
        check(sorted(messages[:2]) == ["READY=1", "STATUS=SAFE, CLEAR, feed fresh"] and
              "STATUS=UNSAFE, V.CLOUDY, feed fresh, alarm up" in messages and
              messages.count("WATCHDOG=1") >= 6, f"told the service manager: {messages}")
        check(sum("sound" in line for line in err.all()) == 1,
              f"no sound device, said once: {err.all()}")
        seen = len(out.all())
        with open(os.path.join(sky, "condition"), "w") as file:
            file.write("CLEAR\n")
        check(out.wait_for(r"alarm raised: safe$", 15, seen), "the safe alarm")
        lines = [re.sub(r"^\S+ \S+ ", "", line) for line in out.all()[seen:]]
        check(lines == ["condition CLEAR (was V.CLOUDY)", "status SAFE (was UNSAFE)",
                        "alarm cancelled: unsafe", "alarm raised: safe"], f"lines as it cleared: {lines}")

        # A reload: a new port, and a file without the id keeps the device's.
        new_port = free_port(socket.SOCK_STREAM)
        with open(settings, "w", newline="") as file:
            file.write(config(status_path, new_port, discovery, time_to_safe="7"))
        seen_err = len(err.all())
        process.send_signal(signal.SIGHUP)
        check(err.wait_for(r"settings reloaded: .*safe after 7 min.*port %d" % new_port, 5, seen_err),
              f"the reload said: {err.all()[seen_err:]}")
        check(err.wait_for(r"unique id .* is saved", 5, seen_err), "the id kept")
        with open(settings) as file:
            check(made and made.group(1) in file.read(), "the device keeps its id through a reload")
        check(is_safe(new_port), "served on the new port")

        # A bad file: said with its line, and nothing changes.
        bad = config(status_path, port, discovery).replace("timeToSafe,0", "timeToSafe,soon")
        with open(settings, "w", newline="") as file:
            file.write(bad)
        seen_err = len(err.all())
        process.send_signal(signal.SIGHUP)
        said = err.wait_for(r"observatory\.ini, line 2: timeToSafe must be a whole number.*running settings stay",
                            5, seen_err)
        check(said, f"the bad file's line and why: {err.all()[seen_err:]}")
        check(is_safe(new_port), "the running settings stay")
        with open(settings, newline="") as file:
            check(file.read() == bad, "a bad file is left as it is")

        # One copy per settings file; a wrong command line.
        second = subprocess.run([monitor, "--config", settings], env=environment, capture_output=True,
                                text=True, timeout=10)
        check(second.returncode == 3 and "another copy runs" in second.stderr,
              f"a second copy: {second.returncode} {second.stderr}")
        wrong = subprocess.run([monitor, "--confi", settings], capture_output=True, text=True, timeout=10)
        check(wrong.returncode == 2 and "Exit codes" in wrong.stderr, f"a wrong argument: {wrong.returncode}")

        manager.received()
        process.send_signal(signal.SIGTERM)
        code = process.wait(timeout=10)
        check(code == 0, f"SIGTERM ends it with 0, not {code}: {err.all()[-3:]}")
        check("STOPPING=1" in manager.received(), "STOPPING=1 told")
        try:
            is_safe(new_port)
            check(False, "the Alpaca port is closed at the end")
        except OSError:
            pass
    finally:
        feed.kill()
        if process:
            process.kill()
            process.wait()
    print("\n".join(out.all() + err.all()))
    if failures:
        print(f"{len(failures)} failed")
        return 1
    print("PASS")
    return 0


if __name__ == "__main__":
    sys.exit(main())
