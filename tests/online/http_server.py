#!/usr/bin/env python3
"""The online tests' web server: serves ROOT on 127.0.0.1 at a free port, written to
PORT_FILE once it listens. /truncated/NAME declares NAME's full length and sends half of it;
a missing file is a 404; a GET of /status500/ANY is a server error and of /slow/NAME is NAME
three seconds late. POST answers a form post with the file at its path when there is one
(after /slow/, three seconds late), else with the request body. A request for a whole
address, as a proxy receives it, is served by its path."""
import http.server
import os
import sys
import time
import urllib.parse

root, port_file = sys.argv[1], sys.argv[2]


class Handler(http.server.BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def do_GET(self):
        if self.path.startswith('/status500/'):
            self.send_error(500)
            return
        if self.path.startswith('/slow/'):
            time.sleep(3)
            self.path = self.path[len('/slow'):]
        truncated = self.path.startswith('/truncated/')
        name = self.path[len('/truncated'):] if truncated else self.path
        path = os.path.join(root, name.lstrip('/').split('?')[0])
        if not os.path.isfile(path):
            self.send_error(404)
            return
        with open(path, 'rb') as f:
            data = f.read()
        self.send_response(200)
        self.send_header('Content-Length', str(len(data)))
        self.end_headers()
        self.wfile.write(data[:len(data) // 2] if truncated else data)
        self.close_connection = True

    def do_POST(self):
        body = self.rfile.read(int(self.headers.get('Content-Length', 0)))
        request = urllib.parse.urlsplit(self.path).path if self.path.startswith('http://') else self.path
        slow = request.startswith('/slow/')
        name = request[len('/slow'):] if slow else request
        path = os.path.join(root, name.lstrip('/').split('?')[0])
        if os.path.isfile(path):
            # Files are served only to a form post, the way the vendor's scripts want it.
            if self.headers.get('Content-Type') != 'application/x-www-form-urlencoded':
                self.send_error(415)
                return
            with open(path, 'rb') as f:
                body = f.read()
            if slow:
                time.sleep(3)
        self.send_response(200)
        self.send_header('Content-Length', str(len(body)))
        self.end_headers()
        self.wfile.write(body)


server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), Handler)
with open(port_file + '.tmp', 'w') as f:
    f.write(str(server.server_address[1]))
os.replace(port_file + '.tmp', port_file)
server.serve_forever()
