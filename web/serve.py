#!/usr/bin/env python3
"""Serves a folder on 127.0.0.1 (a free port unless PORT is given) and prints its address."""
import functools
import http.server
import os
import sys
import threading


class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      '.wasm': 'application/wasm', '.js': 'text/javascript'}

    def log_message(self, *args):
        pass


def start(folder, port=0):
    """Serves `folder` from a thread; returns the server and its address."""
    handler = functools.partial(Handler, directory=folder)
    server = http.server.ThreadingHTTPServer(('127.0.0.1', port), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server, f'http://127.0.0.1:{server.server_address[1]}/'


if __name__ == '__main__':
    server, address = start(sys.argv[1] if len(sys.argv) > 1 else 'build-web',
                            int(os.environ.get('PORT', '0')))
    print(f'Morvek is served at {address} (Ctrl+C stops)', flush=True)
    try:
        threading.Event().wait()
    except KeyboardInterrupt:
        server.shutdown()
