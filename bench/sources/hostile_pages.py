#!/usr/bin/env python3
"""Time and peak memory of `vellumtone --text` on hostile pages, each served
from 127.0.0.1: a gzip bomb (10 GiB of zero bytes), an endless chunked body,
a 20 MB page with 16 MB of unclosed <b>, and 300,000 nested <div> behind a
quote that once hid them from the nesting limit. Each must end within the
30 s limit and stay below 400 MB. Then one `q ~ p` rule over 40,000 and
160,000 sibling paragraphs, and `q p` over 40,000 paragraphs in a deep
nest (the median of three runs each): each under 1 s.

    bench/sources/hostile_pages.py build/vellumtone
"""
import http.server
import re
import subprocess
import sys
import threading
import zlib

ZEROS = bytes(8 << 20)


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def head(self, extra):
        self.send_response(200)
        self.send_header("Content-Type", "text/html; charset=utf-8")
        self.send_header("Connection", "close")
        for name, value in extra:
            self.send_header(name, value)
        self.end_headers()

    def do_GET(self):
        try:
            if self.path == "/bomb":
                self.head([("Content-Encoding", "gzip")])
                packer = zlib.compressobj(9, zlib.DEFLATED, 31)
                for _ in range((10 << 30) // len(ZEROS)):
                    self.wfile.write(packer.compress(ZEROS) + packer.flush(zlib.Z_SYNC_FLUSH))
                self.wfile.write(packer.flush())
            elif self.path == "/chunked":
                self.head([("Transfer-Encoding", "chunked")])
                piece = b"<p>more</p>\n" * 5000
                while True:
                    self.wfile.write(b"%x\r\n%s\r\n" % (len(piece), piece))
            else:
                body = PAGES[self.path]
                self.head([("Content-Length", str(len(body)))])
                self.wfile.write(body)
        except (BrokenPipeError, ConnectionResetError):
            pass


PAGES = {
    "/bold": b"<b>" * ((16 << 20) // 3) + b"<p>" + b"Some ordinary words. " * ((4 << 20) // 21),
    "/fooled": b'<a =">x' + b"<div>" * 300000 + b"end",
    "/sib40k": b"<style>q ~ p { display: none }</style>" + b"<p>x y</p>\n" * 40000,
    "/sib160k": b"<style>q ~ p { display: none }</style>" + b"<p>x y</p>\n" * 160000,
    "/desc40k": b"<style>q p { display: none }</style>" + b"<div>" * 200
    + b"<p>x y</p>\n" * 40000,
}


def measure(program, url):
    run = subprocess.run(["/usr/bin/time", "-v", program, "--text", url],
                         stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    err = run.stderr
    wall = re.search(r"Elapsed \(wall clock\) time.*: (\S+)", err).group(1)
    rss = int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", err).group(1))
    said = [l for l in err.splitlines() if l.startswith("Cannot")] if run.returncode else []
    said = said[0] if said else "(text printed)"
    return wall, rss // 1024, run.returncode, said


def main():
    program = sys.argv[1] if len(sys.argv) > 1 else "build/vellumtone"
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    base = "http://127.0.0.1:%d" % server.server_address[1]
    print("%-8s %10s %8s %5s  %s" % ("page", "wall", "peak MB", "exit", "result"))
    for name in ("bomb", "chunked", "bold", "fooled"):
        wall, mb, code, said = measure(program, base + "/" + name)
        print("%-8s %10s %8d %5d  %s" % (name, wall, mb, code, said[:90]))
    for name in ("sib40k", "sib160k", "desc40k"):
        runs = sorted((measure(program, base + "/" + name) for _ in range(3)),
                      key=lambda run: seconds(run[0]))
        wall, mb, code, said = runs[1]
        print("%-8s %10s %8d %5d  %s" % (name, wall, mb, code, said[:90]))
    server.shutdown()


def seconds(wall):
    value = 0.0
    for part in wall.split(":"):
        value = value * 60 + float(part)
    return value


if __name__ == "__main__":
    main()
