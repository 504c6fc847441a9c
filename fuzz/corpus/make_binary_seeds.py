#!/usr/bin/env python3
"""Writes the binary seeds of the fuzz targets into this folder's target
folders: the graphics packs (one sound, one damaged the way a gfx0.dll was
found damaged), MIDI files, cipher inputs, SOCKS replies, link streams
with their read breaks and an XML text that ends inside a character. Run
it again after changing it; the seeds it writes are committed.

    fuzz/corpus/make_binary_seeds.py [path of rcc]
"""
import os
import struct
import subprocess
import sys
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
RCC = sys.argv[1] if len(sys.argv) > 1 else "/usr/lib/qt6/libexec/rcc"


def write(target, name, data):
    os.makedirs(os.path.join(HERE, target), exist_ok=True)
    with open(os.path.join(HERE, target, name), "wb") as out:
        out.write(data)


def png_1x1():
    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 1, 1, 8, 2, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(b"\x00\xff\x00\x00")) + chunk(b"IEND", b""))


def rcc_pack(files):
    """A pack as the build binds one: rcc --binary --no-compress."""
    with tempfile.TemporaryDirectory() as folder:
        entries = []
        for alias, data in files.items():
            path = os.path.join(folder, alias.replace("/", "_"))
            with open(path, "wb") as out:
                out.write(data)
            entries.append('<file alias="%s">%s</file>' % (alias, os.path.basename(path)))
        qrc = os.path.join(folder, "pack.qrc")
        with open(qrc, "w") as out:
            out.write('<RCC><qresource prefix="/">%s</qresource></RCC>\n' % "".join(entries))
        binary = os.path.join(folder, "pack.rcc")
        subprocess.run([RCC, "--binary", "--no-compress", qrc, "-o", binary], check=True)
        with open(binary, "rb") as data:
            return data.read()


def root_not_a_directory(pack):
    """The root entry turned into a file entry whose language and territory
    read, for Qt, as a child count of about 20 million; its data offset
    points at the first payload, so every offset stays inside the file."""
    tree = struct.unpack(">I", pack[8:12])[0]
    damaged = bytearray(pack)
    struct.pack_into(">H", damaged, tree + 4, 0)            # flags: a file
    struct.pack_into(">I", damaged, tree + 6, 20_000_000)   # territory, language
    struct.pack_into(">I", damaged, tree + 10, 0)           # data offset
    return bytes(damaged)


def packs():
    strings = b"1\tClassic\n2\tmove\n"
    whole = rcc_pack({"strings": strings, "bitmaps/background": png_1x1()})
    write("pack", "pack-whole", whole)
    write("pack", "pack-strings-only", rcc_pack({"strings": strings}))
    # 338 bytes, as the damaged gfx0.dll was: the string table fills it up.
    table = b"1\tClassic\n2\t" + b"m" * 88 + b"\n"
    damaged = root_not_a_directory(rcc_pack({"strings": table, "bitmaps/x": png_1x1()}))
    write("pack", "pack-root-not-a-directory", damaged)


def midi():
    header = b"MThd" + struct.pack(">IHHH", 6, 0, 1, 96)
    events = b"\x00\x90\x3c\x40\x60\x80\x3c\x00\x00\xff\x2f\x00"
    track = b"MTrk" + struct.pack(">I", len(events)) + events
    write("midi", "one-track", header + track)
    write("midi", "two-tracks", header[:10] + struct.pack(">HH", 2, 96) + track + track)
    write("midi", "cut-short", header + track[:-3])


def blowfish():
    # mode and string form, key length, key, text
    write("blowfish", "ecb-encoded", bytes([0, 8]) + b"QMBRTKZA" + b"Hello, world")
    write("blowfish", "cbc-plain", bytes([5, 16]) + b"0123456789abcdef" + bytes(range(40)))
    write("blowfish", "ofb-long-key", bytes([3, 56]) + b"k" * 56 + b"x" * 17)


def socks():
    # level byte: % 3 picks 4, 4A, 5; / 3 % 2 offers a user code
    write("socks", "v5-granted", bytes([2]) + b"\x05\x00" + b"\x05\x00\x00\x01\x7f\x00\x00\x01\x04\x00")
    write("socks", "v5-auth-name", bytes([5]) + b"\x05\x02" + b"\x01\x00" +
          b"\x05\x00\x00\x03\x09localhost\x04\x00" + b"data from the destination")
    write("socks", "v5-refused", bytes([2]) + b"\x05\x00\x05\x05\x00\x01\x00\x00\x00\x00\x00\x00")
    write("socks", "v4-granted", bytes([0]) + b"\x00\x5a\x04\x00\x7f\x00\x00\x01hello")
    write("socks", "v4a-rejected", bytes([1]) + b"\x00\x5b\x00\x00\x00\x00\x00\x00")


def link():
    # state byte (even: the caller waits for the host's name, odd: linked),
    # then the stream with 0xFF between reads
    write("link", "caller-handshake", b"\x00NAME:Anna|CHAT:hello|")
    write("link", "linked-game-data", b"\x01DATA:1*3*-1*0|\xffDATA:R|DATA:2*3*4*0|MSGB:hi|")
    write("link", "split-body", b"\x01CHAT:hel\xfflo|DA\xffTA:4*7*-1*0|")


def xml():
    # An attribute that ends in the first byte of a two-byte character: the
    # XML reader steps over the end of the text unless the text is padded.
    write("xml", "truncated-character",
          b'<?xml5"><Record s_name="&>' + b"\xde" * 90)


if __name__ == "__main__":
    packs()
    midi()
    blowfish()
    socks()
    link()
    xml()
