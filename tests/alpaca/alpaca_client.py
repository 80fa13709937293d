#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""An ASCOM Alpaca client that checks Nortavi's SafetyMonitor over real HTTP
on loopback. It drives nortavi-replay (the monitoring core on real files,
with a hand-set clock) line by line, so that it can walk IsSafe and the
weather safety verdict through every status, checks the parameters as
ASCOM's checker does in its strict mode, and throws malformed, oversized,
slow and many parallel requests at the server while polls go on.

    alpaca_client.py [--emulator WORD]... NORTAVI_REPLAY     exit 0 pass, 1 fail
"""
import argparse
import http.client
import json
import socket
import subprocess
import sys
import threading
import time
import urllib.parse

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what, flush=True)


def free_port(kind):
    with socket.socket(socket.AF_INET, kind) as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


class Replay:
    """nortavi-replay, one command at a time; each answer is one line."""

    def __init__(self, command):
        self.process = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=subprocess.PIPE, text=True, bufsize=1)

    def send(self, line, answers=0):
        self.process.stdin.write(line + "\n")
        self.process.stdin.flush()
        return [self.process.stdout.readline().rstrip("\n") for _ in range(answers)]

    def close(self):
        self.process.stdin.close()
        self.process.wait(timeout=60)


class Client:
    """One Alpaca client: its ClientID and its rising ClientTransactionID."""

    def __init__(self, port, client_id=4711):
        self.port, self.client_id, self.transaction = port, client_id, 0
        self.connection = http.client.HTTPConnection("127.0.0.1", port, timeout=10)
        self.last_server_id = 0

    def call(self, method, path, **parameters):
        self.transaction += 1
        parameters = {"ClientID": self.client_id, "ClientTransactionID": self.transaction, **parameters}
        form = "&".join(f"{name}={value}" for name, value in parameters.items())
        if method == "GET":
            self.connection.request("GET", f"{path}?{form}")
        else:
            self.connection.request("PUT", path, form, {"Content-Type": "application/x-www-form-urlencoded"})
        response = self.connection.getresponse()
        body = response.read().decode()
        if response.status != 200:
            return response.status, body
        answer = json.loads(body)
        check(answer["ClientTransactionID"] == self.transaction, f"{path}: ClientTransactionID echoed")
        check(answer["ServerTransactionID"] > self.last_server_id, f"{path}: ServerTransactionID rises")
        self.last_server_id = answer["ServerTransactionID"]
        check(isinstance(answer["ErrorNumber"], int) and isinstance(answer["ErrorMessage"], str),
              f"{path}: ErrorNumber and ErrorMessage")
        return response.status, answer

    def device(self, method, member, **parameters):
        return self.call(method, f"/api/v1/safetymonitor/0/{member}", **parameters)

    def is_safe(self):
        status, answer = self.device("GET", "issafe")
        check(status == 200 and answer["ErrorNumber"] == 0, "issafe answers")
        return answer.get("Value")


def raw_exchange(port, data):
    """The start of the answer to raw bytes; empty when the server closed the
    connection instead."""
    try:
        with socket.create_connection(("127.0.0.1", port), timeout=10) as connection:
            connection.sendall(data)
            return connection.recv(200).decode(errors="replace")
    except (ConnectionResetError, BrokenPipeError):
        return ""


def members_and_parameters(client, port):
    status, answer = client.call("GET", "/management/apiversions")
    check(answer["Value"] == [1], "apiversions is [1]")
    status, answer = client.call("GET", "/management/v1/description")
    check(answer["Value"]["ServerName"] == "Nortavi", "description names Nortavi")
    status, answer = client.call("GET", "/management/v1/configureddevices")
    device = answer["Value"][0]
    check(device["DeviceType"] == "SafetyMonitor" and device["DeviceNumber"] == 0 and len(device["UniqueID"]) == 36,
          "configureddevices lists SafetyMonitor 0 with its unique id")
    for member, kind in [("connected", bool), ("connecting", bool), ("description", str), ("driverinfo", str),
                         ("driverversion", str), ("interfaceversion", int), ("name", str), ("supportedactions", list),
                         ("devicestate", list), ("issafe", bool)]:
        status, answer = client.device("GET", member)
        check(status == 200 and answer["ErrorNumber"] == 0 and isinstance(answer["Value"], kind), f"GET {member}")
    for member, extra in [("action", {"Action": "x", "Parameters": ""}), ("commandblind", {"Command": "x", "Raw": "true"}),
                          ("commandbool", {"Command": "x", "Raw": "true"}), ("commandstring", {"Command": "x", "Raw": "true"})]:
        status, answer = client.device("PUT", member, **extra)
        check(status == 200 and answer["ErrorNumber"] == 0x400, f"PUT {member} is not implemented")
    for method, member in [("GET", "connect"), ("PUT", "issafe"), ("GET", "nosuchmember")]:
        status, _ = client.device(method, member)
        check(status == 400, f"{method} {member} is refused with 400")
    status, answer = client.device("GET", "devicestate")
    check([entry["Name"] for entry in answer["Value"]] == ["IsSafe", "TimeStamp"] and
          answer["Value"][0]["Value"] == client.is_safe(), f"devicestate holds IsSafe and TimeStamp: {answer['Value']}")
    for path in ["/api/v1/safetymonitor/1/issafe", "/api/v1/switch/0/issafe", "/api/v1/SafetyMonitor/0/issafe",
                 "/api/v1/safetymonitor/0/IsSafe", "/management/v1/ConfiguredDevices", "/index.html"]:
        status, _ = client.call("GET", path)
        check(status == 400, f"GET {path} is refused with 400")


def exchange(port, method, target, form=None):
    """One request on a connection of its own: the status, content type and body."""
    connection = http.client.HTTPConnection("127.0.0.1", port, timeout=10)
    connection.request(method, target, form, {"Content-Type": "application/x-www-form-urlencoded"} if form else {})
    response = connection.getresponse()
    answer = response.status, response.getheader("Content-Type"), response.read().decode()
    connection.close()
    return answer


def strict_parameters(port):
    """The parameters as ASCOM's checker tries them in its strict mode: each
    case is (method, member, parameters as sent, HTTP status, the
    ClientTransactionID echoed)."""
    good = [("ClientID", "123456"), ("ClientTransactionID", "67890")]
    cases = [(method, member, [(name, bad if name == wrong else value) for name, value in good], 400, None)
             for method, member in [("GET", "issafe"), ("PUT", "connect")]
             for wrong in ["ClientID", "ClientTransactionID"]
             for bad in ["", "     ", "-12345", "NASDAQ", "4294967296"]]
    cases += [
        # GET: names in any case; parameters it does not know are passed over.
        ("GET", "issafe", [("clientid", "123456"), ("ClientTransactionID", "67890")], 200, 67890),
        ("GET", "issafe", [("ClientID", "123456"), ("clienttransactionid", "67890")], 200, 67890),
        ("GET", "issafe", good + [("ExtraParameter", "ExtraValue")], 200, 67890),
        ("GET", "issafe", [], 200, 0),
        ("GET", "name", "ClientID=%zz", 400, None),
        # PUT: names only as the API spells them; a mis-cased one is not there.
        ("PUT", "connect", good + [("ExtraParameter", "ExtraValue")], 200, 67890),
        ("PUT", "connect", [("clientid", "123456"), ("ClientTransactionID", "67890")], 200, 67890),
        ("PUT", "connect", [("ClientID", "123456"), ("clienttransactionid", "67890")], 200, 0),
        ("PUT", "connected", [("ClientTransactionID", "67890"), ("Connected", "True"), ("ClientID", "123456")],
         200, 67890),
        ("PUT", "connected", good + [("cONNECTED", "True")], 400, None),
        # Connected is a boolean or nothing.
        *[("PUT", "connected", good + [("Connected", value)], 400, None) for value in ["", "123456", "asdqwe"]],
        ("PUT", "connected", good + [("Connected", "false")], 200, 67890),
    ]
    for method, member, parameters, status, echoed in cases:
        form = parameters if isinstance(parameters, str) else urllib.parse.urlencode(parameters)
        path = f"/api/v1/safetymonitor/0/{member}"
        got, _, body = exchange(port, method, f"{path}?{form}" if method == "GET" else path,
                                form if method == "PUT" else None)
        answer = json.loads(body) if got == 200 else {"ClientTransactionID": None, "ServerTransactionID": 1}
        check(got == status and answer["ClientTransactionID"] == echoed and answer["ServerTransactionID"] >= 1,
              f"{method} {member} {parameters}: {got} {body}, not {status} echoing {echoed}")


def weather(port, target="/weather/safety"):
    """The verdict INDI's Weather Safety Proxy reads: always JSON."""
    status, kind, body = exchange(port, "GET", target)
    verdict = json.loads(body)["roof_status"] if status == 200 else {}
    check(kind == "application/json" and set(verdict) == {"open_ok", "reasons"} and verdict["open_ok"] in (0, 1),
          f"{target}: {status} {body}")
    return verdict


def walk_is_safe(replay, client, port):
    """The replay's clock starts at 22:00:00; each step writes the status
    file stamped with the replay's own time."""
    def verdict(safe, words, what):
        """IsSafe for the connected client, and the weather verdict beside it."""
        found = weather(port)
        check(client.is_safe() is safe and found["open_ok"] == int(safe) and words in found["reasons"],
              f"{what}: IsSafe {not safe}, or {found}, not {words!r}")

    check(client.is_safe() is False, "not safe before the first poll")
    found = weather(port, "/weather/safety?unexpected=%zz")
    check(found == {"open_ok": 0, "reasons": "no verdict yet"}, f"before the first poll: {found}")
    clock = [0]

    def status(word):
        seconds = clock[0]
        replay.send(f"status 2026-12-07 22:{seconds // 60:02d}:{seconds % 60:02d},{word}")

    def advance(seconds):
        clock[0] += seconds
        replay.send(f"advance {seconds}")

    def poll():
        return replay.send("poll", 1)[0]

    status("FOGGY")
    replay.send("start", 1)
    line = poll()
    check("status=PENDING" in line, f"PENDING: {line}")
    client.device("PUT", "connect")
    verdict(False, "no verdict yet", f"PENDING: {line}")
    status("CLEAR")
    poll()
    advance(60)
    status("CLEAR")
    line = poll()
    check("status=SAFE" in line, f"SAFE: {line}")
    verdict(True, "safe since 22:01", "SAFE from a fresh feed")
    two_clients(port, client)
    replay.send("statusbytes \\xff\\xfe not a status line")
    line = poll()
    check("status=SAFE" in line, line)
    verdict(False, "status file unreadable", "a status file that cannot be read")
    advance(65)
    status("V.CLOUDY")
    line = poll()
    check("status=UNSAFE" in line, line)
    verdict(False, "unsafe since 22:02", f"UNSAFE: {line}")
    advance(200)
    line = poll()
    check("status=UNKNOWN" in line, line)
    verdict(False, "status file stale 3 min", f"UNKNOWN, a stale feed: {line}")
    status("CLEAR")
    line = poll()
    check("status=SAFE" in line, line)
    verdict(True, "safe since", f"fresh again, no bad reading for long: {line}")
    # A sensor whose clock runs ten minutes ahead, then stops: the window
    # still counts the feed fresh, but a stamp that no longer changes is not
    # safe to act on.
    clock[0] += 600
    status("CLEAR")
    clock[0] -= 600
    poll()
    advance(155)
    line = poll()
    check("status=SAFE" in line, line)
    verdict(False, "time stamp has not changed for 3 min", f"a stamp ahead that stopped changing: {line}")


def two_clients(port, client):
    """While SAFE: each client connects and disconnects for itself alone."""
    def state(someone):
        return [someone.device("GET", member)[1]["Value"] for member in ["connecting", "connected", "issafe"]]

    other = Client(port, 5150)
    check(state(other) == [False, False, False], "a client that never connected is told not safe")
    other.device("PUT", "connect")
    check(state(other) == [False, True, True], "connect: connecting over, connected, safe")
    client.device("PUT", "disconnect")
    check(state(client) == [False, False, False], "disconnect: not connected, not safe")
    check(state(other) == [False, True, True], "another client's disconnect leaves this one connected and safe")
    check(weather(port)["open_ok"] == 1, "the weather verdict does not depend on who is connected")
    other.device("PUT", "connected", Connected="False")
    client.device("PUT", "connected", Connected="True")
    check(state(client) == [False, True, True] and state(other)[1:] == [False, False], "connected again: safe")


def discovery(port, discovery_port):
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as udp:
        udp.settimeout(2)
        udp.setsockopt(socket.SOL_SOCKET, socket.SO_BROADCAST, 1)
        # Sent to the loopback address, and broadcast on loopback as ASCOM's
        # own discovery client does.
        for address in ["127.0.0.1", "127.255.255.255"]:
            udp.sendto(b"alpacadiscovery1", (address, discovery_port))
            try:
                answer = udp.recvfrom(200)[0]
            except socket.timeout:
                answer = b"(none)"
            check(answer.startswith(b"{") and json.loads(answer) == {"AlpacaPort": port},
                  f"discovery sent to {address} answers {answer!r}")
        udp.settimeout(0.5)
        udp.sendto(b"something else", ("127.0.0.1", discovery_port))
        try:
            udp.recvfrom(200)
            check(False, "a datagram that is no discovery request is answered")
        except socket.timeout:
            pass


def under_attack(replay, port):
    """Abuse of every kind while a poll runs every 0.1 s; polls must stay on
    time and the server must answer again afterwards."""
    gaps = []
    stop = threading.Event()

    def polls():
        last = time.monotonic()
        while not stop.is_set():
            replay.send("tick", 1)
            now = time.monotonic()
            gaps.append(now - last)
            last = now
            time.sleep(0.1)

    # Too large and malformed requests are answered, and refused.
    replies = [raw_exchange(port, b"GET /" + b"a" * 20000 + b" HTTP/1.1\r\nHost: x\r\n\r\n"),
               raw_exchange(port, b"PUT /api/v1/safetymonitor/0/connect HTTP/1.1\r\nHost: x\r\nContent-Length: 100000\r\n\r\n"
                            + b"x" * 100000),
               raw_exchange(port, b"\x00\x01GARBAGE\r\n\r\n")]
    check(replies[0].startswith("HTTP/1.1 413") and replies[1].startswith("HTTP/1.1 413"),
          f"too large is refused with 413: {replies[0][:20]!r} {replies[1][:20]!r}")
    check(replies[2].startswith("HTTP/1.1 400"), f"garbage is refused with 400: {replies[2][:20]!r}")
    # A chunk-size line without an end must not grow the server's memory.
    flood = raw_exchange(port, b"PUT /api/v1/safetymonitor/0/connect HTTP/1.1\r\nHost: x\r\n"
                         b"Transfer-Encoding: chunked\r\n\r\n1;" + b"a" * 200000)
    check(flood == "" or flood.startswith("HTTP/1.1 4"), f"an endless chunk line is refused: {flood[:20]!r}")

    poller = threading.Thread(target=polls)
    poller.start()
    try:
        attack(port)
    finally:
        stop.set()
        poller.join()
    print(f"{len(gaps)} polls under attack, the longest gap {max(gaps):.3f} s", flush=True)
    check(max(gaps) < 2.0, f"polls held up under load: a gap of {max(gaps):.2f} s")


def attack(port):
    answered = []

    def hammer(client_id):
        client = Client(port, client_id)
        for _ in range(20):
            status, _ = client.device("GET", "issafe")
            answered.append(status == 200)

    slow = []
    for _ in range(80):  # more than the server takes at once, each stuck half-way
        try:
            connection = socket.create_connection(("127.0.0.1", port), timeout=5)
            connection.sendall(b"GET /api/v1/safetymonitor/0/issafe HTTP/1.1\r\nHost:")
            slow.append(connection)
        except OSError:
            pass
    # Over the limit, with every place taken by a request under way, a new
    # connection is told the server is busy.
    reply = raw_exchange(port, b"GET /management/apiversions HTTP/1.1\r\nHost: x\r\n\r\n")
    check(reply == "" or reply.startswith("HTTP/1.1 503"), f"over the limit: {reply[:20]!r}")
    for connection in slow:
        connection.close()
    time.sleep(0.5)
    # Clients that keep idle connections open cannot lock others out: the
    # longest idle gives way.
    idle = []
    for _ in range(80):
        connection = http.client.HTTPConnection("127.0.0.1", port, timeout=10)
        connection.request("GET", "/api/v1/safetymonitor/0/name")
        connection.getresponse().read()
        idle.append(connection)
    check(Client(port).is_safe() is not None, "a new client is served while idle connections fill every place")
    for connection in idle:
        connection.close()
    workers = [threading.Thread(target=hammer, args=(n,)) for n in range(1, 51)]
    started = time.monotonic()
    for worker in workers:
        worker.start()
    for worker in workers:
        worker.join()
    elapsed = time.monotonic() - started
    check(len(answered) == 1000 and all(answered), f"50 parallel clients answered {sum(answered)} of 1000")
    print(f"50 clients x 20 requests in {elapsed:.2f} s ({1000 / elapsed:.0f} requests/s)", flush=True)


def main():
    arguments = argparse.ArgumentParser()
    arguments.add_argument("--emulator", action="append", default=[],
                           help="the command that runs the replay tool, one word per use")
    arguments.add_argument("replay")
    options = arguments.parse_args()
    port, discovery_port = free_port(socket.SOCK_STREAM), free_port(socket.SOCK_DGRAM)
    replay = Replay(options.emulator + [options.replay])
    replay.send("now 2026-12-07 22:00:00")
    replay.send("config statusPath,{dir}status.txt")
    replay.send("config timeToSafe,1")
    replay.send("config timeToUnsafe,1")
    answer = replay.send(f"alpaca {port} {discovery_port}", 1)[0]
    check(answer == f"alpaca: serving on {port}", f"the server starts: {answer}")
    try:
        client = Client(port)
        walk_is_safe(replay, client, port)
        members_and_parameters(client, port)
        strict_parameters(port)
        discovery(port, discovery_port)
        # Moving discovery keeps the connection of a client: it stays safe.
        moved = free_port(socket.SOCK_DGRAM)
        check(replay.send(f"alpaca {port} {moved}", 1)[0] == f"alpaca: serving on {port}", "discovery moves")
        check(client.device("GET", "connected")[1]["Value"] is True, "still connected after discovery moved")
        discovery(port, moved)
        under_attack(replay, port)
        check(Client(port).is_safe() is not None, "answers after the attack")
    finally:
        replay.close()
    print("PASS" if not failures else f"{len(failures)} checks failed", flush=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
