"""SMTP peer for the tests: listens on 127.0.0.1, records what it gets as JSON lines.

Prints "READY <port>" once it accepts connections and runs until its standard input closes,
so it also goes away when the test program dies.
"""

import argparse
import asyncio
import base64
import json
import logging
import socket
import ssl
import sys
import threading
import warnings

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import SMTP, AuthResult

MODES = ("accept", "reject-login", "reject-rcpt", "reject-data", "never-answer", "drop-data")


class Recorder:
    def __init__(self, path):
        self._path = path
        self._lock = threading.Lock()

    def write(self, record):
        # Written before the server replies, so the client never sees a reply before the record.
        with self._lock, open(self._path, "a", encoding="utf-8") as out:
            out.write(json.dumps(record) + "\n")


def text(value):
    return value.decode("utf-8", "replace") if isinstance(value, bytes) else str(value)


class Handler:
    def __init__(self, args, recorder):
        self.args = args
        self.recorder = recorder

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if self.args.mode == "reject-rcpt":
            return "550 5.1.1 Mailbox unavailable"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        if self.args.mode == "reject-data":
            return "554 5.6.0 Message content refused"
        login, password, tls_at_auth = getattr(session, "zelvo_credentials", ("", "", False))
        self.recorder.write({
            "kind": "mail",
            "mail_from": envelope.mail_from,
            "rcpt_tos": envelope.rcpt_tos,
            "authenticated": bool(session.authenticated),
            "login": login,
            "password": password,
            "tls_at_auth": tls_at_auth,
            "tls": server._tls_protocol is not None,
            "content": base64.b64encode(envelope.original_content).decode("ascii"),
        })
        return "250 OK queued"

    def authenticate(self, server, session, envelope, mechanism, auth_data):
        login, password = text(auth_data.login), text(auth_data.password)
        tls = server._tls_protocol is not None
        accepted = (self.args.mode != "reject-login" and login == self.args.login
                    and password == self.args.password)
        if accepted:
            session.zelvo_credentials = (login, password, tls)
        self.recorder.write({"kind": "auth", "mechanism": mechanism, "tls": tls,
                             "login": login, "password": password, "accepted": accepted})
        # handled=False: let aiosmtpd send the 535 itself.
        return AuthResult(success=accepted, handled=False, auth_data=auth_data)


class RecordingSMTP(SMTP):
    """Notes every AUTH command, even one that never reaches the authenticator."""

    def __init__(self, *args, recorder, drop_data, **kwargs):
        super().__init__(*args, **kwargs)
        self._recorder = recorder
        self._drop_data = drop_data

    async def smtp_AUTH(self, arg):
        words = arg.split()
        self._recorder.write({"kind": "auth-command", "tls": self._tls_protocol is not None,
                              "mechanism": words[0].upper() if words else "",
                              "initial_response": len(words) > 1})
        await super().smtp_AUTH(arg)

    async def smtp_DATA(self, arg):
        if not self._drop_data or not self.envelope.rcpt_tos:
            return await super().smtp_DATA(arg)
        # Take the start of the message, then hang up before it ends.
        await self.push("354 End data with <CR><LF>.<CR><LF>")
        await self._reader.readuntil(b"\r\n")
        self.transport.abort()


class RecordingController(Controller):
    def __init__(self, handler, recorder, drop_data, **kwargs):
        super().__init__(handler, **kwargs)
        self._recorder = recorder
        self._drop_data = drop_data

    def factory(self):
        return RecordingSMTP(self.handler, recorder=self._recorder, drop_data=self._drop_data,
                             **self.SMTP_kwargs)


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def start_smtp(args, recorder):
    handler = Handler(args, recorder)
    tls_context = None
    if args.cert:
        tls_context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        tls_context.load_cert_chain(args.cert, args.key)
    last_error = None
    attempts = 1 if args.port else 5  # a free port may be taken before we bind it
    for _ in range(attempts):
        port = args.port or free_port()
        controller = RecordingController(
            handler, recorder, args.mode == "drop-data", hostname="127.0.0.1", port=port,
            authenticator=handler.authenticate, auth_require_tls=False,
            auth_required=not args.no_auth_required, tls_context=tls_context)
        try:
            controller.start()
            return controller, port
        except Exception as error:  # noqa: BLE001 - retried, then reported
            last_error = error
    raise SystemExit(f"cannot start the SMTP server: {last_error}")


def start_silent():
    """Accepts connections and never says a word."""
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen()
    held = []

    def accept_forever():
        while True:
            connection, _ = listener.accept()
            held.append(connection)

    threading.Thread(target=accept_forever, daemon=True).start()
    return listener.getsockname()[1]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--events", required=True)
    parser.add_argument("--mode", choices=MODES, default="accept")
    parser.add_argument("--login", default="")
    parser.add_argument("--password", default="")
    parser.add_argument("--cert")
    parser.add_argument("--key")
    parser.add_argument("--no-auth-required", action="store_true")
    parser.add_argument("--port", type=int, default=0, help="fixed port; a free one by default")
    args = parser.parse_args()
    logging.getLogger("mail.log").setLevel(logging.CRITICAL)
    # Login over plain text is exactly what the tests want; no need to be told.
    warnings.filterwarnings("ignore", message="Requiring AUTH while not requiring TLS")

    recorder = Recorder(args.events)
    controller = None
    if args.mode == "never-answer":
        port = start_silent()
    else:
        controller, port = start_smtp(args, recorder)
    print(f"READY {port}", flush=True)
    sys.stdin.buffer.read()  # until the test closes our input or exits
    if controller:
        controller.stop()


if __name__ == "__main__":
    main()
