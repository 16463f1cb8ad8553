#!/usr/bin/python3
"""The template server's two services for the download tests, on 127.0.0.1.

  local_servers.py ftp --root DIR --user U --password P [--port N] [--rate B]
      FTP with one account reading DIR; commands arrive in GBK as the studio
      sends them; --rate limits each data transfer to B bytes a second.
  local_servers.py http --reply FILE [--port N]
      GET /gettempip.php answers with FILE as it is when asked (so a test can
      change the answer); every request path is printed as "GET <path>".

Each prints "PORT <n>" once it listens (N = 0 or none: a free port).
"""
import argparse
import http.server
import logging
import sys


def serve_ftp(args):
    from pyftpdlib.authorizers import DummyAuthorizer
    from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler
    from pyftpdlib.servers import FTPServer

    logging.basicConfig(level=logging.CRITICAL)
    authorizer = DummyAuthorizer()
    authorizer.add_user(args.user, args.password, args.root, perm="elr")

    class Handler(FTPHandler):
        def decode(self, data):
            return data.decode("gbk", self.unicode_errors)

    Handler.authorizer = authorizer
    Handler.use_sendfile = False
    # A refused login answers at once; the tests wait for nothing.
    Handler.auth_failed_timeout = 0.05
    if args.rate:
        class SlowData(ThrottledDTPHandler):
            write_limit = args.rate
        Handler.dtp_handler = SlowData
    server = FTPServer(("127.0.0.1", args.port), Handler)
    print("PORT", server.address[1], flush=True)
    server.serve_forever()


def serve_http(args):
    class Lookup(http.server.BaseHTTPRequestHandler):
        def do_GET(self):
            print("GET", self.path, flush=True)
            if not self.path.startswith("/gettempip.php"):
                self.send_error(404)
                return
            with open(args.reply, "rb") as f:
                body = f.read()
            self.send_response(200)
            self.send_header("Content-Type", "text/html")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)

        def log_message(self, *unused):
            pass

    server = http.server.HTTPServer(("127.0.0.1", args.port), Lookup)
    print("PORT", server.server_address[1], flush=True)
    server.serve_forever()


def main():
    parser = argparse.ArgumentParser()
    sub = parser.add_subparsers(dest="service", required=True)
    ftp = sub.add_parser("ftp")
    ftp.add_argument("--root", required=True)
    ftp.add_argument("--user", required=True)
    ftp.add_argument("--password", required=True)
    ftp.add_argument("--port", type=int, default=0)
    ftp.add_argument("--rate", type=int, default=0)
    web = sub.add_parser("http")
    web.add_argument("--reply", required=True)
    web.add_argument("--port", type=int, default=0)
    args = parser.parse_args()
    serve_ftp(args) if args.service == "ftp" else serve_http(args)


if __name__ == "__main__":
    sys.exit(main())
