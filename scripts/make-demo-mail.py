#!/usr/bin/env python3
"""Writes the demo mailbox: a few dozen realistic messages made for Quobel's demo, as one
file per message (RFC 5322, CR LF line ends) in the folder given on the command line.

Plain and HTML messages, multipart messages with attachments, subjects encoded in several
character sets, and one body encrypted with the password "secret" (Blowfish)."""

import base64
import email.utils
import os
import sys
from datetime import datetime, timedelta, timezone

PEOPLE = [
    ("Mara Lindqvist", "mara@lindqvist.example"),
    ("Tomás Ibarra", "tomas.ibarra@correo.example"),
    ("Yuki Tanaka", "yuki@tanaka.example.jp"),
    ("Olga Smirnova", "olga@smirnova.example.ru"),
    ("Release Bot", "noreply@builds.example.org"),
    ("Priya Raman", "priya.raman@studio.example"),
    ("", "alerts@monitoring.example.net"),
    ("Jean-Luc Moreau", "jl.moreau@atelier.example.fr"),
]
ME = ("Demo User", "demo@quobel.example")
START = datetime(2026, 12, 1, 8, 15, tzinfo=timezone(timedelta(hours=1)))


def encoded_word(text, charset, encoding="B"):
    data = text.encode(charset)
    if encoding == "B":
        return "=?%s?B?%s?=" % (charset, base64.b64encode(data).decode("ascii"))
    out = []
    for byte in data:
        c = chr(byte)
        if c.isascii() and c.isalnum():
            out.append(c)
        elif c == " ":
            out.append("_")
        else:
            out.append("=%02X" % byte)
    return "=?%s?Q?%s?=" % (charset, "".join(out))


def header_block(n, sender, subject, extra=()):
    name, addr = sender
    when = START + timedelta(hours=7 * n, minutes=13 * n)
    lines = [
        "Return-Path: <%s>" % addr,
        "Received: from mail.example.net (mail.example.net [192.0.2.%d])" % (10 + n),
        "\tby mx.quobel.example with ESMTP id %05d for <%s>; %s" % (n, ME[1], email.utils.format_datetime(when)),
        "From: %s" % (('"%s" <%s>' % (name, addr)) if name else addr),
        "To: %s <%s>" % ME,
        "Subject: %s" % subject,
        "Date: %s" % email.utils.format_datetime(when),
        "Message-ID: <demo-%03d@quobel.example>" % n,
        "MIME-Version: 1.0",
    ]
    lines.extend(extra)
    return lines


def plain(n, sender, subject, body, charset="us-ascii", cte="7bit", extra=()):
    lines = header_block(n, sender, subject, list(extra) + [
        "Content-Type: text/plain; charset=%s" % charset,
        "Content-Transfer-Encoding: %s" % cte,
    ])
    return lines + [""] + body.split("\n")


def quoted_printable(text):
    import quopri
    return quopri.encodestring(text.encode("utf-8")).decode("ascii")


def html_message(n, sender, subject, html):
    lines = header_block(n, sender, subject, [
        "Content-Type: text/html; charset=utf-8",
        "Content-Transfer-Encoding: quoted-printable",
    ])
    return lines + [""] + quoted_printable(html).split("\n")


def alternative(n, sender, subject, text, html):
    boundary = "alt-%03d" % n
    lines = header_block(n, sender, subject, [
        'Content-Type: multipart/alternative; boundary="%s"' % boundary])
    return lines + ["", "This is a multi-part message in MIME format.",
                    "--" + boundary,
                    "Content-Type: text/plain; charset=utf-8",
                    "Content-Transfer-Encoding: quoted-printable", ""] + \
        quoted_printable(text).split("\n") + [
        "--" + boundary,
        "Content-Type: text/html; charset=utf-8",
        "Content-Transfer-Encoding: quoted-printable", ""] + \
        quoted_printable(html).split("\n") + ["--" + boundary + "--", ""]


def with_attachments(n, sender, subject, text, attachments):
    boundary = "mixed-%03d" % n
    lines = header_block(n, sender, subject, [
        'Content-Type: multipart/mixed; boundary="%s"' % boundary])
    lines += ["", "--" + boundary, "Content-Type: text/plain; charset=utf-8",
              "Content-Transfer-Encoding: 8bit", ""] + text.split("\n")
    for filename, mime, data in attachments:
        encoded = base64.encodebytes(data).decode("ascii").rstrip("\n").split("\n")
        lines += ["--" + boundary,
                  'Content-Type: %s; name="%s"' % (mime, filename),
                  "Content-Transfer-Encoding: base64",
                  'Content-Disposition: attachment; filename="%s"' % filename, ""] + encoded
    return lines + ["--" + boundary + "--", ""]


def csv_report(rows):
    out = ["day,checks,new messages"]
    for i in range(rows):
        out.append("2026-11-%02d,%d,%d" % (i + 1, 288, (i * 37) % 19))
    return ("\r\n".join(out) + "\r\n").encode("ascii")


def tiny_png():
    # A 2x2 PNG, written out by hand.
    return base64.b64decode(
        "iVBORw0KGgoAAAANSUhEUgAAAAIAAAACCAIAAAD91JpzAAAAFklEQVR4nGP4z8DAwMDAxMDAwMDAAAANHQEDasKb6QAAAABJRU5ErkJggg==")


def messages():
    out = []
    n = 0

    def add(lines):
        out.append(lines)

    add(plain(n := n + 1, PEOPLE[0], "Welcome to Quobel",
              "Hi,\n\nthis is your demo mailbox. Quobel downloaded only the header of this\n"
              "message while checking; the whole text arrived when you opened it.\n\n"
              "Try the Source tab, the preview pane and the bar at the screen edge.\n\n"
              "Mara"))
    add(plain(n := n + 1, PEOPLE[1], encoded_word("Reunión del jueves: ¿café o té?", "iso-8859-1", "Q"),
              "Hola,\n\nnos vemos el jueves a las 10:00. Trae el informe, por favor.\n\nTomás",
              charset="iso-8859-1", cte="8bit"))
    add(plain(n := n + 1, PEOPLE[2], encoded_word("会議の議事録をお送りします", "iso-2022-jp"),
              "Meeting notes are attached to the shared folder.\n\nYuki"))
    add(plain(n := n + 1, PEOPLE[3], encoded_word("Отчёт за ноябрь", "koi8-r"),
              "Olga's monthly report is ready for review."))
    add(html_message(n := n + 1, PEOPLE[4], "Build #4821 passed",
                     "<html><body><h1>Build #4821 passed</h1><p>All <b>1,204</b> tests passed "
                     "in 6&nbsp;min&nbsp;12&nbsp;s.</p><p>Details: "
                     "https://builds.example.org/4821</p></body></html>"))
    add(alternative(n := n + 1, PEOPLE[5], "Sketches for the new icons",
                    "Hi! The first sketches are ready. I prefer the second set.\n\nPriya",
                    "<p>Hi! The first sketches are ready. I prefer the <i>second</i> set.</p>"
                    "<p>Priya</p>"))
    add(with_attachments(n := n + 1, PEOPLE[6], "Weekly uptime report",
                         "Uptime this week: 99.98 %.\nThe CSV file has the daily figures.",
                         [("uptime-november.csv", "text/csv", csv_report(30))]))
    add(with_attachments(n := n + 1, PEOPLE[7], encoded_word("Photos de l'atelier", "utf-8", "Q"),
                         "Bonjour,\n\nvoici deux petites images de l'atelier.\n\nJean-Luc",
                         [("atelier-1.png", "image/png", tiny_png()),
                          ("atelier-2.png", "image/png", tiny_png())]))
    add(plain(n := n + 1, PEOPLE[0], "Encrypted: the meeting point",
              "8tjd7Z17rjkEC5YaGE3P7y3M6pSu9pkqQ48g3nqtYjYs",
              extra=["X-Quobel-Encryption: Blowfish"]))
    add(plain(n := n + 1, PEOPLE[4], encoded_word("Nightly build ✔ green", "utf-8"),
              "Nightly build finished without warnings.",
              extra=["X-Priority: 5 (Lowest)"]))
    add(plain(n := n + 1, PEOPLE[6], "URGENT: disk almost full on db-2",
              "db-2: /var is 97 % full. Please act.", extra=["X-Priority: 1 (Highest)"]))
    topics = [
        "Lunch on Friday?", "Re: Quarterly numbers", "Train tickets booked",
        "Re: Re: The garden project", "Invoice 2026-118", "Your library books are due",
        "Re: Holiday photos", "Minutes of the board meeting", "New comment on your post",
        "Fwd: Concert tickets", "Reminder: dentist on Tuesday", "Draft of chapter 3",
        "Re: Bug 5521 — crash when saving", "Recipe: lentil soup", "Weekend hike plan",
        "Re: Server migration window", "Thank you!", "Newsletter — December edition",
        "Re: Can you review my patch?", "Flight delayed",
    ]
    for i, topic in enumerate(topics):
        sender = PEOPLE[i % len(PEOPLE)]
        body = ("Hello,\n\n%s — a short note from %s.\n\n" % (topic, sender[0] or sender[1]) +
                "\n".join("Line %d of the message text." % (k + 1) for k in range(3 + i % 7)) +
                "\n\nBest regards")
        subject = topic if topic.isascii() else encoded_word(topic, "utf-8", "Q")
        add(plain(n := n + 1, sender, subject, body, charset="utf-8", cte="8bit"))
    return out


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make-demo-mail.py FOLDER")
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    for index, lines in enumerate(messages(), start=1):
        text = "\r\n".join(lines)
        if not text.endswith("\r\n"):
            text += "\r\n"
        data = text.encode("utf-8")
        if "charset=iso-8859-1" in text:
            data = text.encode("iso-8859-1")
        with open(os.path.join(folder, "demo-%03d.eml" % index), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
