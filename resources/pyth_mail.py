#!/usr/bin/python3
"""Sends one e-mail over SMTP and exits with status 0 exactly when the server accepted it.

    python3 pyth_mail.py SENDER SERVER PORT LOGIN RECIPIENT SUBJECT BODY SSL [ATTACHMENT ...]

The password is the first line of standard input (UTF-8); what follows it is ignored.
SSL "Y" speaks TLS from the first byte; any other value starts in plain text and turns to TLS
when the server offers STARTTLS. The script logs in only when the server offers AUTH, and never
sends the password unencrypted to another machine; the login is sent as UTF-8, so a password
need not be ASCII. Each attachment goes with the content type its extension names.

Why a mail was not sent is written to standard error as one line "KIND|what happened", KIND being
one of connect, timeout, tls, encryption, login, sender, recipient, size, refused or message.
"""

import os
import smtplib
import sys
from email.message import EmailMessage

TIMEOUT = 60  # seconds for any one exchange with the server


class Refused(Exception):
    def __init__(self, kind, text):
        super().__init__(text)
        self.kind = kind


def breaks_line(c):
    return ord(c) < 32 or 0x7F <= ord(c) <= 0x9F or c in "\u2028\u2029"


def one_line(name, value):
    if any(breaks_line(c) for c in value):
        raise Refused("message", f"The {name} must be a single line.")
    return value


def is_loopback(server):
    import ipaddress

    try:
        return ipaddress.ip_address(server).is_loopback
    except ValueError:
        return server == "localhost"


def build_message(sender, recipient, subject, body, attachments):
    from email.utils import formatdate, make_msgid

    message = EmailMessage()
    message["From"] = one_line("sender", sender)
    message["To"] = one_line("recipient", recipient)
    message["Subject"] = one_line("subject", subject)
    message["Date"] = formatdate(localtime=True)
    # The sender's domain: without one the name of this machine is looked up, which can take long.
    message["Message-ID"] = make_msgid(domain=sender.rpartition("@")[2] or None)
    message.set_content(body)
    if attachments:
        import mimetypes
    for path in attachments:
        if not os.path.isfile(path):
            raise Refused("message", f"The attachment {path} is not a file.")
        kind, encoding = mimetypes.guess_type(path)
        if kind is None or encoding is not None:
            kind = "application/octet-stream"
        main, sub = kind.split("/", 1)
        with open(path, "rb") as f:
            data = f.read()
        message.add_attachment(data, maintype=main, subtype=sub, filename=os.path.basename(path))
    return message


def tls_context():
    # Made only for an encrypted connection: it is the costliest part of a plain one.
    import ssl

    return ssl.create_default_context()


def login(client, user, password):
    """AUTH PLAIN or LOGIN with the UTF-8 bytes of the login: smtplib's own encodes it as ASCII."""
    import base64

    def encoded(text):
        return base64.b64encode(text.encode("utf-8")).decode("ascii")

    methods = client.esmtp_features.get("auth", "").upper().split()
    if "PLAIN" in methods:
        code, answer = client.docmd("AUTH", "PLAIN " + encoded(f"\0{user}\0{password}"))
    elif "LOGIN" in methods:
        code, answer = client.docmd("AUTH", "LOGIN " + encoded(user))
        if code == 334:
            code, answer = client.docmd(encoded(password))
    else:
        client.login(user, password)
        return
    if code != 235:
        raise smtplib.SMTPAuthenticationError(code, answer)


def send(sender, server, port, login_name, recipient, password, use_ssl, message):
    if use_ssl:
        client = smtplib.SMTP_SSL(server, port, timeout=TIMEOUT, context=tls_context())
    else:
        client = smtplib.SMTP(server, port, timeout=TIMEOUT)
    with client:
        client.ehlo()
        encrypted = use_ssl
        if not encrypted and client.has_extn("starttls"):
            client.starttls(context=tls_context())
            client.ehlo()
            encrypted = True
        if client.has_extn("auth"):
            if not encrypted and not is_loopback(server):
                raise Refused("encryption", "The server asks for the password over a connection that is not encrypted.")
            login(client, login_name, password)
        refused = client.send_message(message, from_addr=sender, to_addrs=[recipient])
        if refused:
            raise Refused("recipient", f"The server refused {', '.join(refused)}.")


def kind_of(error):
    """The kind of a failure, for the program to say in plain words."""
    if isinstance(error, Refused):
        return error.kind
    if getattr(error, "smtp_code", None) == 552:
        return "size"
    if isinstance(error, smtplib.SMTPAuthenticationError):
        return "login"
    if isinstance(error, smtplib.SMTPSenderRefused):
        return "sender"
    if isinstance(error, smtplib.SMTPRecipientsRefused):
        return "recipient"
    if isinstance(error, (smtplib.SMTPConnectError, smtplib.SMTPServerDisconnected)):
        return "connect"
    if isinstance(error, smtplib.SMTPNotSupportedError):
        return "encryption"
    if isinstance(error, smtplib.SMTPException):
        return "refused"
    if isinstance(error, TimeoutError):
        return "timeout"
    if type(error).__name__.startswith("SSL") or "certificate" in str(error).lower():
        return "tls"
    if isinstance(error, OSError):
        return "connect"
    return "message"


def main(argv):
    if len(argv) < 9:
        print(__doc__, file=sys.stderr)
        return 2
    sender, server, port, login_name, recipient, subject, body, use_ssl = argv[1:9]
    attachments = argv[9:]
    password = sys.stdin.buffer.readline().decode("utf-8", "replace").rstrip("\r\n")
    try:
        port_number = int(port)
        if not 0 < port_number < 65536:
            raise ValueError
    except ValueError:
        print(f"connect|{port!r} is no port number.", file=sys.stderr)
        return 1
    try:
        message = build_message(sender, recipient, subject, body, attachments)
        send(sender, one_line("server", server), port_number, login_name, recipient, password, use_ssl == "Y", message)
    except (Refused, smtplib.SMTPException, OSError, ValueError, UnicodeError) as e:
        print(f"{kind_of(e)}|{type(e).__name__}: {e}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
