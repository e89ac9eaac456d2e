"""A scripted HTTP server for the installer's fault cases. A request for /FAULT/FOLDER/FILE
answers with FILE of FOLDER below the content root, spoiled as FAULT says:
  cut       part files (fileNNN.bin) announced whole but cut short
  longer    part files announced longer than they are
  stall     headers, then silence
  loop      a redirect to itself
  noloc     a 302 without Location
  endless   header lines without end
  hugecount pkginfo.txt with more parts than allowed
  hugesize  pkginfo.txt with an absurd part size
Anything else is served as it is."""
import os
import socketserver
import sys
import time

ROOT = sys.argv[2]


class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        data = b""
        while b"\r\n\r\n" not in data and len(data) < 65536:
            chunk = self.request.recv(4096)
            if not chunk:
                return
            data += chunk
        line = data.split(b"\r\n", 1)[0].decode("latin-1")
        parts = line.split(" ")
        target = parts[1] if len(parts) > 1 else "/"
        if target.startswith("http://"):
            target = "/" + target.split("/", 3)[3]
        pieces = target.lstrip("/").split("/", 1)
        fault = pieces[0]
        rest = pieces[1] if len(pieces) > 1 else ""
        name = rest.rsplit("/", 1)[-1]
        send = self.request.sendall
        if fault == "loop":
            send(b"HTTP/1.0 302 Found\r\nLocation: " + target.encode() + b"\r\n\r\n")
            return
        if fault == "noloc":
            send(b"HTTP/1.0 302 Found\r\nContent-Length: 0\r\n\r\n")
            return
        if fault == "endless":
            send(b"HTTP/1.0 200 OK\r\n")
            try:
                while True:
                    send(b"X-Filler: " + b"a" * 1000 + b"\r\n")
            except OSError:
                return
        if fault == "hugecount" and name == "pkginfo.txt":
            lines = ["[files]"] + ["file%03d.bin=10" % i for i in range(1200)]
            lines += ["[sums]"] + ["file%03d.bin=1" % i for i in range(1200)] + ["total_sum=1"]
            self.body("\r\n".join(lines).encode())
            return
        if fault == "hugesize" and name == "pkginfo.txt":
            self.body(b"[files]\r\nfile000.bin=99999999999\r\n[sums]\r\nfile000.bin=1\r\ntotal_sum=1\r\n")
            return
        path = os.path.join(ROOT, *rest.split("/"))
        try:
            with open(path, "rb") as f:
                content = f.read()
        except OSError:
            send(b"HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n")
            return
        is_part = name.startswith("file") and name.endswith(".bin")
        if fault == "stall" and is_part:
            send(b"HTTP/1.0 200 OK\r\nContent-Length: %d\r\n\r\n" % len(content))
            time.sleep(30)
            return
        if fault == "cut" and is_part:
            send(b"HTTP/1.0 200 OK\r\nContent-Length: %d\r\n\r\n" % len(content) + content[: len(content) // 2])
            return
        if fault == "longer" and is_part:
            send(b"HTTP/1.0 200 OK\r\nContent-Length: %d\r\n\r\n" % (len(content) + 100) + content)
            return
        self.body(content)

    def body(self, content):
        self.request.sendall(b"HTTP/1.0 200 OK\r\nContent-Length: %d\r\n\r\n" % len(content) + content)


class Server(socketserver.ThreadingTCPServer):
    allow_reuse_address = True
    daemon_threads = True


Server(("127.0.0.1", int(sys.argv[1])), Handler).serve_forever()
