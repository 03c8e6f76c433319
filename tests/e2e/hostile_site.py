"""A loopback site of hostile pages for the web strip.
   hostile_site.py PORT_FILE LOCAL_PICTURE
/actualizacion-update.htm: under 1 MiB, it names local pictures (relative and absolute), 40 large
PNGs, 26 nested tables, 20,000 nested divs, a window.open loop and one unbroken 800 kB word.
/slow/*: a body promised large and sent one byte a second; "closed" is printed when the client
goes. The chosen port is written to PORT_FILE."""
import http.server, struct, sys, time, zlib

def png(side):
    row = b"\0" + b"\xff" * (3 * side)
    body = zlib.compress(row * side, 9)
    chunk = lambda kind, data: struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", side, side, 8, 2, 0, 0, 0)) + \
        chunk(b"IDAT", body) + chunk(b"IEND", b"")

BIG = png(4096)
PAGE = ("<html><head><title>Hostile</title></head><body style='background:#fff'>"
        f"<img src='secret.png'><img src='{sys.argv[2]}'>"
        "<script>for (;;) { alert('hi'); window.open('/x?' + Math.random()); }</script>"
        + "".join(f"<img src='/big/{i}.png' width='1' height='1'>" for i in range(40))
        + "<table><tr><td>" * 26 + "x" + "</td></tr></table>" * 26
        + "<div>" * 20000 + "x" * 800000 + "</div>" * 20000 + "</body></html>").encode()

class Site(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        body = PAGE if self.path == "/actualizacion-update.htm" else BIG if self.path.startswith("/big/") else None
        if self.path.startswith("/slow/"):
            self.send_response(200)
            self.send_header("Content-Type", "text/html")
            self.send_header("Content-Length", "1000000")
            self.end_headers()
            try:
                while True:
                    self.wfile.write(b" ")
                    self.wfile.flush()
                    time.sleep(1)
            except OSError:
                print("closed", flush=True)
                return
        if body is None:
            return self.send_error(404)
        self.send_response(200)
        self.send_header("Content-Type", "image/png" if body is BIG else "text/html")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Site)
with open(sys.argv[1], "w") as f:
    f.write(str(server.server_address[1]))
server.serve_forever()
