#!/usr/bin/env python3
"""The demo servers of tools/run: the information server, the update server and the home and
guide pages, all on one loopback port, serving the files under www/.

    server.py --port-file FILE    binds 127.0.0.1 on a free port and writes the port to FILE

In the .aspx documents, @TICKS_<n>_DAYS_AGO@ becomes the time n days ago in 100-nanosecond ticks
since the start of year 1, so that the ActiveX feed always has recently added controls.
"""
import argparse
import datetime
import functools
import http.server
import os
import re
import sys

WWW = os.path.join(os.path.dirname(os.path.abspath(__file__)), "www")
TICKS = re.compile(rb"@TICKS_(\d+)_DAYS_AGO@")


def ticks_days_ago(match):
    moment = datetime.datetime.now() - datetime.timedelta(days=int(match.group(1)))
    elapsed = moment - datetime.datetime(1, 1, 1)
    return str((elapsed.days * 86400 + elapsed.seconds) * 10**7 + elapsed.microseconds * 10).encode()


class DemoHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".aspx": "text/xml; charset=utf-8", ".xml": "text/xml; charset=utf-8"}

    def do_GET(self):
        path = self.translate_path(self.path)
        if not path.endswith(".aspx") or not os.path.isfile(path):
            super().do_GET()
            return
        with open(path, "rb") as document:
            body = TICKS.sub(ticks_days_ago, document.read())
        self.send_response(200)
        self.send_header("Content-Type", self.extensions_map[".aspx"])
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Cache-Control", "no-cache")
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, format, *args):
        sys.stderr.write("%s %s\n" % (self.log_date_time_string(), format % args))
        sys.stderr.flush()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--port-file", required=True)
    options = parser.parse_args()
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(DemoHandler, directory=WWW))
    # Written whole and renamed, so that a reader never sees half a number.
    with open(options.port_file + ".tmp", "w") as out:
        out.write(str(server.server_address[1]))
    os.replace(options.port_file + ".tmp", options.port_file)
    server.serve_forever()


if __name__ == "__main__":
    main()
