"""A local stand-in for every outside server the program talks to: one HTTP server on 127.0.0.1 in a thread,
answering by path, and remembering every request that arrived."""

import http.server
import threading
import time


class Reply:
    def __init__(self, body=b"", status=200, content_type="text/plain", delay=0.0, gate=None):
        self.body = body.encode() if isinstance(body, str) else body
        self.status = status
        self.content_type = content_type
        self.delay = delay  # seconds before the answer
        self.gate = gate  # a threading.Event the answer waits for


class LocalServer:
    def __init__(self):
        self.routes = {}  # path prefix -> Reply, or a function of the path giving one
        self.requests = []  # (monotonic time of arrival, path)
        self.answered = []  # (monotonic time the answer went out, path)
        self.lock = threading.Lock()
        self.closing = threading.Event()
        server = self

        class Handler(http.server.BaseHTTPRequestHandler):
            protocol_version = "HTTP/1.1"  # the program keeps its connections

            def do_GET(self):
                with server.lock:
                    server.requests.append((time.monotonic(), self.path))
                reply = server.reply_for(self.path)
                if reply.gate is not None:
                    while not reply.gate.wait(0.1):
                        if server.closing.is_set():
                            return
                if reply.delay:
                    server.closing.wait(reply.delay)
                try:
                    self.send_response(reply.status)
                    self.send_header("Content-Type", reply.content_type)
                    self.send_header("Content-Length", str(len(reply.body)))
                    self.end_headers()
                    self.wfile.write(reply.body)
                except (BrokenPipeError, ConnectionResetError):
                    return  # the program ended (or was ended) while it waited
                with server.lock:
                    server.answered.append((time.monotonic(), self.path))

            def log_message(self, *args):
                pass

        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.httpd.daemon_threads = True
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)

    @property
    def host(self):
        return f"127.0.0.1:{self.httpd.server_address[1]}"

    def url(self, path):
        return f"http://{self.host}{path}"

    def reply_for(self, path):
        best = None
        for prefix, reply in self.routes.items():
            if path.startswith(prefix) and (best is None or len(prefix) > len(best)):
                best = prefix
        if best is None:
            return Reply(b"not here", status=404)
        reply = self.routes[best]
        return reply(path) if callable(reply) else reply

    def seen(self, prefix):
        with self.lock:
            return [path for _, path in self.requests if path.startswith(prefix)]

    def answered_count(self, prefix):
        with self.lock:
            return sum(1 for _, path in self.answered if path.startswith(prefix))

    def start(self):
        self.thread.start()
        return self

    def stop(self):
        self.closing.set()
        self.httpd.shutdown()
        self.httpd.server_close()
