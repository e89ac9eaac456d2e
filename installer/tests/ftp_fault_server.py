"""A scripted FTP server for the installer's fault cases, on port 21 of the given address,
serving files of the given folder: its RETR reply announces 100 bytes more than it sends, and
for a file named stall.bin it says nothing after the 150 reply."""
import os
import socket
import socketserver
import sys
import time

ADDRESS, ROOT = sys.argv[1], sys.argv[2]


class Handler(socketserver.StreamRequestHandler):
    def reply(self, text):
        self.wfile.write((text + "\r\n").encode())

    def handle(self):
        self.reply("220 scripted")
        passive = None
        while True:
            line = self.rfile.readline(1024)
            if not line:
                return
            command, _, argument = line.decode("latin-1").strip().partition(" ")
            command = command.upper()
            if command == "USER":
                self.reply("331 password please")
            elif command == "PASS":
                self.reply("230 in")
            elif command == "TYPE":
                self.reply("200 binary")
            elif command == "PASV":
                passive = socket.socket()
                passive.bind((ADDRESS, 0))
                passive.listen(1)
                port = passive.getsockname()[1]
                self.reply("227 Entering Passive Mode (%s,%d,%d)" % (ADDRESS.replace(".", ","), port >> 8, port & 255))
            elif command == "RETR" and argument.endswith("stall.bin"):
                self.reply("150 Opening BINARY mode data connection for %s (10 bytes)." % argument)
                time.sleep(30)
                return
            elif command == "RETR":
                path = os.path.join(ROOT, *argument.strip("/").split("/"))
                try:
                    with open(path, "rb") as f:
                        data = f.read()
                except OSError:
                    self.reply("550 no such file")
                    continue
                self.reply("150 Opening BINARY mode data connection for %s (%d bytes)." % (argument, len(data) + 100))
                connection, _ = passive.accept()
                connection.sendall(data)
                connection.close()
                passive.close()
                self.reply("226 done")
            elif command == "QUIT":
                self.reply("221 bye")
                return
            else:
                self.reply("502 not here")


class Server(socketserver.ThreadingTCPServer):
    allow_reuse_address = True
    daemon_threads = True


Server((ADDRESS, 21), Handler).serve_forever()
