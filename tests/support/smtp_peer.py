"""SMTP peer for the tests, on 127.0.0.1.

Without --script it is a real server (aiosmtpd): AUTH required, any login name with the given
password, STARTTLS with --cert/--key (TLS from the first byte with --implicit), only the LOGIN
mechanism with --login-only. With --script it answers from a script, STARTTLS included, for
servers that misbehave in ways a real one will not. Either way it writes what it received as
JSON lines, each mail decoded by the standard email package. Writes "READY <port>" into the file
given with --ready and runs until that file goes or the test program that started it dies. Files,
not pipes: under Wine no pipe reaches a program of this system.
"""

import argparse
import base64
import email
import email.policy
import email.utils
import json
import os
import socket
import socketserver
import threading
import time

# The raw peer's replies when the script says nothing else: a server that takes the mail.
WELL_BEHAVED = {
    "greeting": "220 127.0.0.1 ESMTP\n",
    "EHLO": "250-127.0.0.1\n250-STARTTLS\n250 AUTH PLAIN LOGIN\n",
    "HELO": "250 127.0.0.1\n",
    "STARTTLS": "220 2.0.0 Ready to start TLS\n",
    "AUTH": "235 2.7.0 Accepted\n",
    "MAIL": "250 2.1.0 OK\n",
    "RCPT": "250 2.1.5 OK\n",
    "DATA": "354 End data with <CR><LF>.<CR><LF>\n",
    ".": "250 2.0.0 Queued\n",
    "QUIT": {"text": "221 Bye\n", "close": True},
}


class Recorder:
    def __init__(self, path):
        self._path = path
        self._lock = threading.Lock()

    def __call__(self, **record):
        # Written before the peer replies, so the client never sees a reply before the record.
        with self._lock, open(self._path, "a", encoding="utf-8") as out:
            out.write(json.dumps(record) + "\n")


def mail_record(raw, mail_from, rcpt_tos, **extra):
    message = email.message_from_bytes(raw, policy=email.policy.default)
    date = message["Date"]
    return dict(kind="mail", mail_from=mail_from, rcpt_tos=rcpt_tos,
                subject=str(message["Subject"]),
                body=message.get_content(),
                date=date.datetime.timestamp() if date and date.datetime else None,
                message_id=str(message["Message-ID"] or ""),
                crlf_only=raw.count(b"\n") == raw.count(b"\r\n") == raw.count(b"\r"),
                raw=base64.b64encode(raw).decode("ascii"),
                defects=len(message.defects) + sum(len(v.defects) for v in message.values()),
                **extra)


def text(answer):
    return answer if isinstance(answer, str) else answer.get("text", "")


class ScriptedPeer(socketserver.StreamRequestHandler):
    def reply(self, answer):
        """Sends one reply; False when the conversation is over."""
        answer = {"text": answer} if isinstance(answer, str) else answer
        data = answer.get("text", "").replace("\n", "\r\n").encode("latin-1")
        if answer.get("pad"):
            data = data[:-2] + b"x" * answer["pad"] + b"\r\n"
        while True:
            pace = answer.get("drip_ms", 0) / 1000
            for chunk in ([bytes([b]) for b in data] if pace else [data]):
                self.wfile.write(chunk)
                self.wfile.flush()
                time.sleep(pace)
            if not answer.get("repeat"):
                break
            time.sleep(0.02)  # even a flood leaves the machine some time
        if answer.get("stall"):
            self.rfile.read()  # silent until the client gives up
        return not answer.get("stall") and not answer.get("close")

    def handle(self):
        script = {**WELL_BEHAVED, **self.server.script}
        try:
            if not self.reply(script["greeting"]):
                return
            for line in iter(lambda: self.rfile.readline(), b""):
                verb = line.split()[0].upper().decode("latin-1") if line.split() else ""
                self.server.record(kind="command", verb=verb)
                if not self.reply(script.get(verb, "502 5.5.2 Command not recognized\n")):
                    return
                if verb == "STARTTLS" and text(script["STARTTLS"]).startswith("220"):
                    self.connection = self.server.tls.wrap_socket(self.connection,
                                                                  server_side=True)
                    self.rfile = self.connection.makefile("rb")
                    self.wfile = self.connection.makefile("wb")
                if verb == "DATA" and text(script["DATA"]).startswith("354"):
                    raw = b""
                    for data in self.rfile:
                        if data == b".\r\n":
                            break
                        raw += data[1:] if data.startswith(b"..") else data
                    else:
                        return  # gone before the end: no message
                    if text(script["."]).startswith("250"):
                        self.server.record(**mail_record(raw, "", []))
                    if not self.reply(script["."]):
                        return
        except OSError:
            pass  # the client hung up or refused our certificate, as hostile cases make it do


def server_tls(args):
    import ssl
    if not args.cert:
        return None
    tls = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    tls.load_cert_chain(args.cert, args.key)
    return tls


def start_scripted(script, record, tls):
    socketserver.ThreadingTCPServer.allow_reuse_address = True
    server = socketserver.ThreadingTCPServer(("127.0.0.1", 0), ScriptedPeer)
    server.daemon_threads = True
    server.script, server.record, server.tls = script, record, tls
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server.server_address[1]


def start_smtp(args, record):
    from aiosmtpd.controller import Controller
    from aiosmtpd.smtp import SMTP, AuthResult

    class Handler:
        async def handle_DATA(self, server, session, envelope):
            login, password, tls_at_auth = session.zelvo_login
            record(**mail_record(envelope.original_content, envelope.mail_from,
                                 envelope.rcpt_tos, login=login, password=password,
                                 tls_at_auth=tls_at_auth))
            return "250 OK queued"

    def authenticate(server, session, envelope, mechanism, auth_data):
        login = auth_data.login.decode("utf-8", "replace")
        password = auth_data.password.decode("utf-8", "replace")
        session.zelvo_login = (login, password, encrypted(server))
        # handled=False: aiosmtpd itself answers 535 to a wrong password.
        return AuthResult(success=password == args.password, handled=False)

    class RecordingSMTP(SMTP):
        async def smtp_AUTH(self, arg):
            words = arg.split()
            record(kind="auth", tls=encrypted(self),
                   mechanism=words[0].upper() if words else "", initial_response=len(words) > 1)
            await super().smtp_AUTH(arg)

    class RecordingController(Controller):
        def factory(self):
            return RecordingSMTP(self.handler, **self.SMTP_kwargs)

    def encrypted(server):
        return server.transport.get_extra_info("ssl_object") is not None

    tls = server_tls(args)
    for _ in range(1 if args.port else 5):  # a free port may be taken before it is bound
        with socket.socket() as probe:
            probe.bind(("127.0.0.1", 0))
            port = args.port or probe.getsockname()[1]
        controller = RecordingController(Handler(), hostname="127.0.0.1", port=port,
                                         authenticator=authenticate, auth_require_tls=False,
                                         auth_required=True,
                                         ssl_context=tls if args.implicit else None,
                                         tls_context=None if args.implicit else tls,
                                         auth_exclude_mechanism=["PLAIN"] if args.login_only
                                         else None)
        try:
            controller.start()
            return port
        except Exception as error:  # noqa: BLE001 - retried, then reported
            failure = error
    raise SystemExit(f"cannot start the SMTP server: {failure}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--events", required=True)
    parser.add_argument("--password", default="")
    parser.add_argument("--port", type=int, default=0, help="a free one by default")
    parser.add_argument("--cert")
    parser.add_argument("--key")
    parser.add_argument("--implicit", action="store_true", help="TLS from the first byte")
    parser.add_argument("--never-accept", action="store_true", help="connections never complete")
    parser.add_argument("--login-only", action="store_true", help="offer AUTH LOGIN alone")
    parser.add_argument("--script", help="JSON: replies by verb, 'greeting' and '.'")
    parser.add_argument("--ready", required=True, help="where to write READY <port>")
    args = parser.parse_args()
    import logging
    import warnings
    logging.getLogger("mail.log").setLevel(logging.CRITICAL)
    warnings.filterwarnings("ignore", message="Requiring AUTH while not requiring TLS")

    record = Recorder(args.events)
    if args.never_accept:  # one connection fills a queue of 0: the next ones never complete
        listener = socket.create_server(("127.0.0.1", 0), backlog=0)
        queued = socket.create_connection(listener.getsockname())  # noqa: F841 - kept open
        port = listener.getsockname()[1]
    elif args.script:
        port = start_scripted(json.loads(args.script), record, server_tls(args))
    else:
        port = start_smtp(args, record)
    parent = os.getppid()
    with open(args.ready + ".tmp", "w", encoding="ascii") as ready:
        ready.write(f"READY {port}\n")
    os.replace(args.ready + ".tmp", args.ready)
    while os.path.exists(args.ready) and os.getppid() == parent:
        time.sleep(0.05)


if __name__ == "__main__":
    main()
