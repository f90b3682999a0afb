#!/usr/bin/python3
"""A local SMTP server for the tests.

Binds 127.0.0.1 on a port the system picks and prints that port on the first line
of its output. For every mail it takes it writes, in --out, mail-N.eml (the raw
bytes) and then mail-N.json (what Python's email package reads from them), both
before the server answers the DATA command, so a client that got its 250 finds them.

Behaviours: --starttls CERT KEY (offer STARTTLS), --tls CERT KEY (TLS from the
start), --user U --password P (AUTH required for that one user), --refuse ADDR
(550 for that recipient), --close (close each connection at once), --silent
(accept and never say a word).
"""
import argparse
import asyncio
import base64
import email
import email.policy
import json
import os
import ssl
import sys

from aiosmtpd.smtp import SMTP, AuthResult


def parse_args():
    p = argparse.ArgumentParser()
    p.add_argument("--out", required=True)
    p.add_argument("--starttls", nargs=2, metavar=("CERT", "KEY"))
    p.add_argument("--tls", nargs=2, metavar=("CERT", "KEY"))
    p.add_argument("--user")
    p.add_argument("--password")
    p.add_argument("--refuse", action="append", default=[])
    p.add_argument("--close", action="store_true")
    p.add_argument("--silent", action="store_true")
    return p.parse_args()


def tls_context(cert_key):
    ctx = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    ctx.load_cert_chain(cert_key[0], cert_key[1])
    return ctx


def on_tls(server):
    return server.transport is not None and server.transport.get_extra_info("ssl_object") is not None


class Recorder:
    def __init__(self, args):
        self.args = args
        self.count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.lower() in (a.lower() for a in self.args.refuse):
            return "550 5.1.1 Destinatario rifiutato"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        raw = envelope.original_content or envelope.content
        if isinstance(raw, str):
            raw = raw.encode("utf-8", "surrogateescape")
        msg = email.message_from_bytes(raw, policy=email.policy.default)
        headers = [[k, str(v)] for k, v in msg.items()]
        body = None
        attachments = []
        for part in msg.walk():
            if part.is_multipart():
                continue
            if part.get_content_disposition() == "attachment":
                data = part.get_payload(decode=True) or b""
                attachments.append({
                    "name": part.get_filename(),
                    "content_type": part.get_content_type(),
                    "data": base64.b64encode(data).decode("ascii"),
                })
            elif body is None and part.get_content_type() == "text/plain":
                body = part.get_content()
        auth = session.auth_data
        login = None
        if auth is not None:
            login = auth.login.decode("utf-8", "replace") if isinstance(auth.login, bytes) else str(auth.login)
        record = {
            "mail_from": envelope.mail_from,
            "rcpt_tos": envelope.rcpt_tos,
            "auth_user": login,
            "auth_tls": getattr(session, "auth_tls", None),
            "tls": on_tls(server),
            "headers": headers,
            "body": body,
            "attachments": attachments,
        }
        self.count += 1
        base = os.path.join(self.args.out, "mail-%d" % self.count)
        with open(base + ".eml", "wb") as f:
            f.write(raw)
        with open(base + ".json.tmp", "w", encoding="utf-8") as f:
            json.dump(record, f, ensure_ascii=False)
        os.replace(base + ".json.tmp", base + ".json")
        return "250 Message accepted"


def make_authenticator(args):
    def authenticator(server, session, envelope, mechanism, auth_data):
        session.auth_tls = on_tls(server)
        login = getattr(auth_data, "login", b"")
        password = getattr(auth_data, "password", b"")
        if login == args.user.encode("utf-8") and password == args.password.encode("utf-8"):
            return AuthResult(success=True, auth_data=auth_data)
        # Refused and not handled: the server answers 535 itself.
        return AuthResult(success=False, handled=False)
    return authenticator


class Closer(asyncio.Protocol):
    def connection_made(self, transport):
        transport.close()


class Silent(asyncio.Protocol):
    def connection_made(self, transport):
        self.transport = transport


def main():
    args = parse_args()
    loop = asyncio.new_event_loop()
    asyncio.set_event_loop(loop)
    server_ssl = None
    if args.close:
        factory = Closer
    elif args.silent:
        factory = Silent
    else:
        handler = Recorder(args)
        kw = {"hostname": "plicora-test", "ident": "Plicora test server"}
        if args.starttls:
            kw["tls_context"] = tls_context(args.starttls)
            kw["require_starttls"] = False
        if args.user is not None:
            kw["authenticator"] = make_authenticator(args)
            kw["auth_required"] = True
            kw["auth_require_tls"] = False
        kw["loop"] = loop

        def factory():
            return SMTP(handler, **kw)
        if args.tls:
            server_ssl = tls_context(args.tls)
    server = loop.run_until_complete(
        loop.create_server(factory, host="127.0.0.1", port=0, ssl=server_ssl))
    port = server.sockets[0].getsockname()[1]
    sys.stdout.write("%d\n" % port)
    sys.stdout.flush()
    try:
        loop.run_forever()
    finally:
        server.close()


if __name__ == "__main__":
    main()
