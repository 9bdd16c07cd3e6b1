"""The FTP server of the end-to-end tests: pyftpdlib on 127.0.0.1 port 21
with an anonymous and a named account, both at home in <root>, active mode
only. Every connection, login and command goes to <log>, one line each, so
that a test can see how it was asked for its files.

    ftp_server.py <root> <log>
"""
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

# The named account; the password has punctuation and a space on purpose.
USER = "watcher"
PASSWORD = "p@ss w:rd/#%!"


def main():
    root, log_path = sys.argv[1], sys.argv[2]
    log = open(log_path, "a", buffering=1)

    class LoggingHandler(FTPHandler):
        def on_connect(self):
            log.write("connect\n")

        def pre_process_command(self, line, cmd, arg):
            log.write(line + "\n")
            return super().pre_process_command(line, cmd, arg)

    authorizer = DummyAuthorizer()
    authorizer.add_user(USER, PASSWORD, root, perm="elr")
    authorizer.add_anonymous(root, perm="elr")
    LoggingHandler.authorizer = authorizer
    LoggingHandler.permit_foreign_addresses = False
    server = FTPServer(("127.0.0.1", 21), LoggingHandler)
    server.serve_forever()


if __name__ == "__main__":
    main()
