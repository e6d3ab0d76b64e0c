#!/usr/bin/env python3
"""Writes briefkopf-hand.emf, the hand-made letterhead the printing tests use.

Every record is put together here byte by byte, so that the tests do not rest
on any program that writes metafiles. The picture describes a whole A4 sheet
(frame 0,0 - 210 mm x 297 mm); one device unit is a tenth of a millimetre and
the map mode stays the default, so logical units are device units:

  - a wine-red band across the top (the area the tests look at),
  - the winery's name in white on it and its address below,
  - a small sender line above the address window,
  - the label "Datum:" left of where the invoice prints its date,
  - a thin rule and the bank line at the foot of the sheet.

Run it from this folder: python3 briefkopf-schreiben.py
"""

import struct

BREITE, HOEHE = 2100, 2970  # device units (0.1 mm)


def rect(l, t, r, b):
    return struct.pack("<4i", l, t, r, b)


def farbe(r, g, b):
    return struct.pack("<I", r | (g << 8) | (b << 16))


def record(typ, body):
    assert len(body) % 4 == 0
    return struct.pack("<II", typ, 8 + len(body)) + body


def utf16(text, laenge=None):
    data = text.encode("utf-16-le")
    if laenge is not None:
        data = data[: 2 * laenge].ljust(2 * laenge, b"\0")
    return data


def brush(handle, rgb):
    # EMR_CREATEBRUSHINDIRECT: handle, LOGBRUSH (BS_SOLID, colour, hatch)
    return record(39, struct.pack("<II", handle, 0) + rgb + struct.pack("<I", 0))


def pen(handle, stil, breite, rgb):
    # EMR_CREATEPEN: handle, LOGPEN (style, width as POINTL, colour)
    return record(38, struct.pack("<IIii", handle, stil, breite, 0) + rgb)


def select(handle):
    return record(37, struct.pack("<I", handle))


def delete(handle):
    return record(40, struct.pack("<I", handle))


def font(handle, hoehe, gewicht, name):
    # EMR_EXTCREATEFONTINDIRECTW with a full LOGFONT_PANOSE (320 bytes).
    logfont = struct.pack("<iiiii8B", -hoehe, 0, 0, 0, gewicht, 0, 0, 0, 0, 0, 0, 0, 0)
    logfont += utf16(name, 32)
    panose = utf16("", 64) + utf16("", 32) + struct.pack("<IIII", 0, 0, 0, 0)
    panose += b"\0" * 4 + struct.pack("<I", 0) + b"\0" * 12
    return record(82, struct.pack("<I", handle) + logfont + panose)


def text(x, y, zeichen):
    # EMR_EXTTEXTOUTW, top-left aligned (set by EMR_SETTEXTALIGN), with an
    # unused (neither clipping nor opaque) rectangle and an advance array of
    # zeros, which tells the reader to use the font's own advances.
    n = len(zeichen)
    string = utf16(zeichen)
    if len(string) % 4:
        string += b"\0\0"
    kopf = 8 + 16 + 12 + 40
    off_dx = kopf + len(string)
    body = rect(0, 0, -1, -1) + struct.pack("<Iff", 1, 0.0, 0.0)
    body += struct.pack("<iiIII", x, y, n, kopf, 0) + rect(0, 0, 0, 0)
    body += struct.pack("<I", off_dx) + string + struct.pack("<%dI" % n, *([0] * n))
    return record(84, body)


def main():
    weinrot = farbe(0x7A, 0x1F, 0x3D)
    dunkel = farbe(0x40, 0x40, 0x40)
    weiss = farbe(0xFF, 0xFF, 0xFF)

    body = []
    body.append(record(17, struct.pack("<I", 1)))  # SETMAPMODE MM_TEXT
    body.append(record(18, struct.pack("<I", 1)))  # SETBKMODE TRANSPARENT
    body.append(record(22, struct.pack("<I", 0)))  # SETTEXTALIGN TA_TOP|TA_LEFT

    # The band across the top.
    body += [brush(1, weinrot), select(1), pen(2, 5, 0, weinrot), select(2)]
    body.append(record(43, rect(105, 90, 1995, 300)))  # EMR_RECTANGLE

    body += [font(3, 110, 700, "Times New Roman"), select(3)]
    body.append(record(24, weiss))  # SETTEXTCOLOR
    body.append(text(160, 130, "Weingut am Sonnenhang"))

    body += [font(4, 38, 400, "Arial"), select(4), delete(3)]
    body.append(record(24, dunkel))
    body.append(text(160, 330, "Kellerweg 12 \u00b7 55234 Musterdorf \u00b7 Telefon 06733 9999-0"))

    # Sender line above the address window, the date label, the foot.
    body += [font(5, 26, 400, "Arial"), select(5)]
    body.append(text(233, 545, "Weingut am Sonnenhang \u00b7 Kellerweg 12 \u00b7 55234 Musterdorf"))
    body += [font(3, 45, 400, "Arial"), select(3)]
    body.append(text(1250, 835, "Datum:"))
    body += [pen(6, 0, 3, dunkel), select(6)]
    body.append(record(27, struct.pack("<ii", 105, 2800)))  # MOVETOEX
    body.append(record(54, struct.pack("<ii", 1995, 2800)))  # LINETO
    body.append(select(5))
    body.append(text(105, 2820, "Musterbank Alzey \u00b7 IBAN DE00 0000 0000 0000 0000 00 \u00b7 "
                                "USt-IdNr. DE000000000"))

    body.append(record(14, struct.pack("<III", 0, 16, 20)))  # EMR_EOF

    beschreibung = utf16("Rebkontor\0Briefkopf\0\0")
    zeichen = len(beschreibung) // 2
    beschreibung += b"\0" * (-len(beschreibung) % 4)
    kopf_groesse = 108
    kopf_body_len = kopf_groesse - 8 + len(beschreibung)
    inhalt = b"".join(body)
    gesamt = 8 + kopf_body_len + len(inhalt)
    kopf = rect(105, 90, 1995, 2860)  # bounds: what is drawn, device units
    kopf += rect(0, 0, 21000, 29700)  # frame: the sheet, 0.01 mm
    kopf += struct.pack("<IIIIHHIII", 0x464D4520, 0x10000, gesamt, len(body) + 1, 7, 0,
                        zeichen, kopf_groesse, 0)
    kopf += struct.pack("<ii", BREITE, HOEHE)  # device in pixels
    kopf += struct.pack("<ii", 210, 297)  # device in millimetres
    kopf += struct.pack("<III", 0, 0, 0)  # no pixel format, no OpenGL
    kopf += struct.pack("<ii", 210000, 297000)  # device in micrometres
    kopf += beschreibung
    daten = record(1, kopf) + inhalt
    assert len(daten) == gesamt

    with open("briefkopf-hand.emf", "wb") as f:
        f.write(daten)


if __name__ == "__main__":
    main()
