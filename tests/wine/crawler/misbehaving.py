"""Small servers on 127.0.0.1 that misbehave on purpose, standard library only.

WebServer answers each request with respond(path) -> raw bytes, or an iterable of them sent one
after another for as long as the client reads (or None: say nothing and hold the connection), and
counts the requests per path. FtpServer is an FTP server of a few commands
that can refuse, stay busy, or cut its listing off."""
import collections
import select
import socket
import threading
import time


def reply(body=b"", status="200 OK", headers=""):
    """An HTTP/1.1 reply with a Content-Length, closing the connection."""
    return (b"HTTP/1.1 %s\r\nContent-Length: %d\r\nConnection: close\r\n%s\r\n"
            % (status.encode(), len(body), headers.encode()) + body)


def endless(head, piece=b" " * 65536):
    """A reply that never ends: a status line and HEAD, then PIECE after PIECE until the client
    goes."""
    yield b"HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + head
    while True:
        yield piece


class _Listener:
    def __enter__(self):
        self.sock = socket.socket()
        self.sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.sock.bind(("127.0.0.1", 0))
        self.sock.listen(64)
        self.port = self.sock.getsockname()[1]
        self.held = []
        self.lock = threading.Lock()
        self.handling = 0
        threading.Thread(target=self._accept, daemon=True).start()
        return self

    def _accept(self):
        while True:
            try:
                conn, _ = self.sock.accept()
            except OSError:
                return
            # As long as the longest time-out the crawler is given: a client slowed by a busy
            # machine must not find a page ended by the server giving up on it.
            conn.settimeout(120)
            with self.lock:
                self.handling += 1
            threading.Thread(target=self._guard, args=(conn,), daemon=True).start()

    def _guard(self, conn):
        try:
            if self.handle(conn) is False:
                with self.lock:
                    self.held.append(conn)  # closed only when the server goes
                return
        except OSError:
            pass
        finally:
            with self.lock:
                self.handling -= 1
        conn.close()

    def settle(self, timeout=30):
        """Returns once every connection made so far has been taken and answered (or held): after
        the client has ended, nothing it sent is still on its way to the counts."""
        deadline = time.time() + timeout
        while time.time() < deadline:
            with self.lock:
                busy = self.handling
            if not busy and not select.select([self.sock], [], [], 0)[0]:
                return
            time.sleep(0.02)
        raise AssertionError("the server is still answering")

    def __exit__(self, *exc):
        self.sock.close()
        with self.lock:
            for conn in self.held:
                conn.close()


class WebServer(_Listener):
    def __init__(self, respond):
        self.respond = respond
        self.requests = collections.Counter()

    def handle(self, conn):
        data = b""
        while b"\r\n\r\n" not in data:
            more = conn.recv(65536)
            if not more:
                return None
            data += more
        path = data.split(b" ")[1].decode("latin-1")
        with self.lock:
            self.requests[path] += 1
        answer = self.respond(path)
        if answer is None:
            return False
        for piece in [answer] if isinstance(answer, bytes) else answer:
            conn.sendall(piece)
        return None

    def total(self):
        with self.lock:
            return sum(self.requests.values())


class FtpServer(_Listener):
    """Anonymous FTP over one directory held in memory: {path: [names]} (a name ending in "/"
    is a directory). greeting and login replace the server's answers; cut_after sends only that
    many listing lines and then drops both connections."""

    def __init__(self, tree, greeting="220 ready", login="230 welcome", cut_after=None):
        self.tree, self.greeting, self.login, self.cut_after = tree, greeting, login, cut_after

    def handle(self, conn):
        f = conn.makefile("rb")
        say = lambda line: conn.sendall(line.encode() + b"\r\n")
        say(self.greeting)
        if not self.greeting.startswith("220"):
            return None
        cwd, data_to, passive = "/", None, None
        for raw in f:
            command, _, arg = raw.decode("latin-1").strip().partition(" ")
            command = command.upper()
            if command == "USER":
                say("331 password")
            elif command == "PASS":
                say(self.login)
                if not self.login.startswith("230"):
                    return None
            elif command in ("TYPE", "MODE", "STRU", "NOOP"):
                say("200 ok")
            elif command == "PWD":
                say('257 "%s"' % cwd)
            elif command == "CWD":
                target = arg if arg.startswith("/") else cwd.rstrip("/") + "/" + arg
                target = target.rstrip("/") or "/"
                if target in self.tree:
                    cwd = target
                    say("250 ok")
                else:
                    say("550 no such directory")
            elif command == "PORT":
                parts = [int(p) for p in arg.split(",")]
                data_to = (".".join(map(str, parts[:4])), parts[4] * 256 + parts[5])
                say("200 ok")
            elif command == "PASV":
                passive = socket.socket()
                passive.bind(("127.0.0.1", 0))
                passive.listen(1)
                p = passive.getsockname()[1]
                say("227 passive (127,0,0,1,%d,%d)" % (p // 256, p % 256))
            elif command in ("LIST", "NLST"):
                say("150 listing")
                if passive:
                    data, _ = passive.accept()
                    passive.close()
                    passive = None
                else:
                    data = socket.create_connection(data_to)
                names = self.tree.get(cwd, [])
                lines = [("drwxr-xr-x 1 ftp ftp 0 Jan 01 2020 %s" % n[:-1]) if n.endswith("/")
                         else ("-rw-r--r-- 1 ftp ftp 5 Jan 01 2020 %s" % n) for n in names]
                if self.cut_after is not None:
                    data.sendall("".join(l + "\r\n" for l in lines[:self.cut_after]).encode())
                    data.close()
                    return None  # no closing reply: the control connection drops
                data.sendall("".join(l + "\r\n" for l in lines).encode())
                data.close()
                say("226 done")
            elif command == "QUIT":
                say("221 bye")
                return None
            else:
                say("502 not here")
        return None
