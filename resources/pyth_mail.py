#!/usr/bin/python3
"""Sends one e-mail over SMTP and exits with status 0 exactly when the server accepted it.

    python3 pyth_mail.py SENDER SERVER PORT LOGIN RECIPIENT SUBJECT BODY SSL [ATTACHMENT ...]

The password is the first line of standard input (UTF-8); what follows it is ignored.
SSL "Y" speaks TLS from the first byte; any other value starts in plain text and turns to TLS
when the server offers STARTTLS. The script logs in only when the server offers AUTH, and never
sends the password unencrypted to another machine. Each attachment goes with the content type
its extension names. Why a mail was not sent is written to standard error.
"""

import ipaddress
import mimetypes
import os
import smtplib
import socket
import ssl
import sys
from email.message import EmailMessage
from email.utils import formatdate, make_msgid

TIMEOUT = 60  # seconds for any one exchange with the server


class Refused(Exception):
    pass


def one_line(name, value):
    if any(c in value for c in "\r\n\0"):
        raise Refused(f"The {name} must be a single line.")
    return value


def is_loopback(server):
    try:
        return ipaddress.ip_address(server).is_loopback
    except ValueError:
        return server == "localhost"


def build_message(sender, recipient, subject, body, attachments):
    message = EmailMessage()
    message["From"] = one_line("sender", sender)
    message["To"] = one_line("recipient", recipient)
    message["Subject"] = one_line("subject", subject)
    message["Date"] = formatdate(localtime=True)
    message["Message-ID"] = make_msgid()
    message.set_content(body)
    for path in attachments:
        if not os.path.isfile(path):
            raise Refused(f"The attachment {path} is not a file.")
        kind, encoding = mimetypes.guess_type(path)
        if kind is None or encoding is not None:
            kind = "application/octet-stream"
        main, sub = kind.split("/", 1)
        with open(path, "rb") as f:
            data = f.read()
        message.add_attachment(data, maintype=main, subtype=sub, filename=os.path.basename(path))
    return message


def send(sender, server, port, login, recipient, password, use_ssl, message):
    context = ssl.create_default_context()
    if use_ssl:
        client = smtplib.SMTP_SSL(server, port, timeout=TIMEOUT, context=context)
    else:
        client = smtplib.SMTP(server, port, timeout=TIMEOUT)
    with client:
        client.ehlo()
        encrypted = use_ssl
        if not encrypted and client.has_extn("starttls"):
            client.starttls(context=context)
            client.ehlo()
            encrypted = True
        if client.has_extn("auth"):
            if not encrypted and not is_loopback(server):
                raise Refused("The server asks for the password over a connection that is not encrypted.")
            client.login(login, password)
        refused = client.send_message(message, from_addr=sender, to_addrs=[recipient])
        if refused:
            raise Refused(f"The server refused {', '.join(refused)}.")


def main(argv):
    if len(argv) < 9:
        print(__doc__, file=sys.stderr)
        return 2
    sender, server, port, login, recipient, subject, body, use_ssl = argv[1:9]
    attachments = argv[9:]
    password = sys.stdin.buffer.readline().decode("utf-8", "replace").rstrip("\r\n")
    try:
        port_number = int(port)
        if not 0 < port_number < 65536:
            raise ValueError
    except ValueError:
        print(f"{port!r} is no port number.", file=sys.stderr)
        return 1
    try:
        message = build_message(sender, recipient, subject, body, attachments)
        send(sender, one_line("server", server), port_number, login, recipient, password, use_ssl == "Y", message)
    except (Refused, smtplib.SMTPException, OSError, socket.timeout, ValueError, UnicodeError) as e:
        print(f"{type(e).__name__}: {e}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
