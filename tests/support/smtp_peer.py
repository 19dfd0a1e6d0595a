"""The SMTP test peer that smtp_peer.h describes; run by SmtpPeer."""

import asyncio
import base64
import email.policy
import itertools
import json
import logging
import os
import socket
import socketserver
import ssl
import sys
import threading
import time
import warnings

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


ARGS = json.loads(sys.argv[1])  # as SmtpPeer gives them: see smtp_peer.cpp
RECORDING = threading.Lock()


def record(**fields):
    # Written before the peer replies, so the client never sees a reply before the record.
    with RECORDING, open(ARGS["events"], "a", encoding="utf-8") as out:
        out.write(json.dumps(fields) + "\n")


def mail_record(raw, envelope, **extra):
    message = email.message_from_bytes(raw, policy=email.policy.default)
    date = message["Date"]
    return dict(kind="mail", envelope=f"{envelope}\n{message['Subject']}\n{message.get_content()}",
                date=date.datetime.timestamp() if date and date.datetime else None,
                message_id=str(message["Message-ID"] or ""),
                type=f"{message.get_content_type()}; {message.get_content_charset()}",
                crlf_only=raw.count(b"\n") == raw.count(b"\r\n") == raw.count(b"\r"),
                raw=base64.b64encode(raw).decode("ascii"),
                defects=len(message.defects) + sum(len(v.defects) for v in message.values()),
                **extra)


class ScriptedPeer(socketserver.StreamRequestHandler):
    def reply(self, answer):
        """Sends one reply; False when the conversation is over."""
        data = answer.get("text", "").replace("\n", "\r\n").encode("latin-1")
        if answer.get("pad"):
            data = data[:-2] + b"x" * answer["pad"] + b"\r\n"
        pace = answer.get("drip_ms", 0) / 1000
        for _ in itertools.count() if answer.get("repeat") else range(1):
            for chunk in ([bytes([b]) for b in data] if pace else [data]):
                self.wfile.write(chunk)
                self.wfile.flush()
                time.sleep(pace)
            time.sleep(0.02 if answer.get("repeat") else 0)  # a flood leaves the machine time
        if answer.get("stall"):
            self.rfile.read()  # silent until the client gives up
        return not answer.get("stall") and not answer.get("close")

    def handle(self):
        script = {verb: {"text": answer} if isinstance(answer, str) else answer
                  for verb, answer in {**WELL_BEHAVED, **self.server.script}.items()}
        try:
            if not self.reply(script["greeting"]):
                return
            for line in iter(lambda: self.rfile.readline(), b""):  # rfile changes at STARTTLS
                verb = line.split()[0].upper().decode("latin-1") if line.split() else ""
                record(kind="command", verb=verb)
                if not self.reply(script.get(verb, {"text": "502 5.5.2 Command not recognized\n"})):
                    return
                if verb == "STARTTLS" and script["STARTTLS"].get("text", "").startswith("220"):
                    self.connection = self.server.tls.wrap_socket(self.connection,
                                                                  server_side=True)
                    self.rfile = self.connection.makefile("rb")
                    self.wfile = self.connection.makefile("wb")
                if verb == "DATA" and script["DATA"].get("text", "").startswith("354"):
                    raw = b""
                    for data in self.rfile:
                        if data == b".\r\n":
                            break
                        raw += data[1:] if data.startswith(b"..") else data
                    else:
                        return  # gone before the end: no message
                    if script["."].get("text", "").startswith("250"):
                        record(**mail_record(raw, " > "))
                    if not self.reply(script["."]):
                        return
        except OSError:
            pass  # the client hung up or refused our certificate, as hostile cases make it do


def start_smtp(tls):
    from aiosmtpd.smtp import SMTP, AuthResult

    class Handler:
        messages = 0

        async def handle_DATA(self, server, session, envelope):
            Handler.messages += 1
            if Handler.messages == ARGS.get("refused_mail"):
                return "554 5.7.1 Message refused"
            record(**mail_record(envelope.original_content,
                                 f"{envelope.mail_from} > {','.join(envelope.rcpt_tos)}",
                                 **session.zelvo_login))
            return "250 OK queued"

    def authenticate(server, session, envelope, mechanism, auth_data):
        session.zelvo_login = {key: getattr(auth_data, key).decode("utf-8", "replace")
                               for key in ("login", "password")}
        # handled=False: aiosmtpd itself answers 535 to a wrong password.
        return AuthResult(success=session.zelvo_login["password"] == ARGS["password"],
                          handled=False)

    class RecordingSMTP(SMTP):
        async def smtp_AUTH(self, arg):
            words = arg.split()
            record(kind="auth", tls=self.transport.get_extra_info("ssl_object") is not None,
                   mechanism=words[0].upper() if words else "", initial_response=len(words) > 1)
            await super().smtp_AUTH(arg)

    loop = asyncio.new_event_loop()
    listener = socket.create_server(("127.0.0.1", ARGS.get("port", 0)))  # no race for a port
    implicit = ARGS.get("implicit")
    loop.run_until_complete(loop.create_server(
        lambda: RecordingSMTP(Handler(), hostname="127.0.0.1", loop=loop,
                              authenticator=authenticate, auth_required=True,
                              auth_require_tls=False, tls_context=None if implicit else tls,
                              auth_exclude_mechanism=["PLAIN"] if ARGS.get("login_only") else None),
        sock=listener, ssl=tls if implicit else None))
    threading.Thread(target=loop.run_forever, daemon=True).start()
    return listener.getsockname()[1]


def main():
    logging.getLogger("mail.log").setLevel(logging.CRITICAL)
    warnings.filterwarnings("ignore", message="Requiring AUTH while not requiring TLS")
    tls = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    tls.load_cert_chain(ARGS["cert"], ARGS["key"])
    if ARGS.get("never_accept"):  # one connection fills a queue of 0: the next never complete
        listener = socket.create_server(("127.0.0.1", 0), backlog=0)
        queued = socket.create_connection(listener.getsockname())  # noqa: F841 - kept open
        port = listener.getsockname()[1]
    elif "script" in ARGS:
        server = socketserver.ThreadingTCPServer(("127.0.0.1", 0), ScriptedPeer)
        server.daemon_threads = True
        server.script, server.tls = json.loads(ARGS["script"]), tls
        threading.Thread(target=server.serve_forever, daemon=True).start()
        port = server.server_address[1]
    else:
        port = start_smtp(tls)
    if "ready" not in ARGS:  # run by hand
        print(f"READY {port}", flush=True)
        sys.stdin.buffer.read()
        return
    # Under Wine no pipe reaches a program of this system: SmtpPeer waits for this file, and the
    # peer ends when the file goes or the test program that started it dies.
    parent = os.getppid()
    with open(ARGS["ready"] + ".tmp", "w", encoding="ascii") as ready:
        ready.write(f"READY {port}\n")
    os.replace(ARGS["ready"] + ".tmp", ARGS["ready"])
    while os.path.exists(ARGS["ready"]) and os.getppid() == parent:
        time.sleep(0.05)


if __name__ == "__main__":
    main()
