#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into fuzz/corpus/ from the
transcript tests, the manual's example sessions and the example documents:

  command/   one command per file, without the prompt (fuzz_command, fuzz_typeset)
  batch/     whole sessions as text and the example documents (fuzz_batch)
  document/  the same sessions saved as .kvl documents (fuzz_document)

Run it again after adding transcripts; files are named by content, so
nothing is duplicated."""
import hashlib
import html
import pathlib
import re

root = pathlib.Path(__file__).resolve().parent.parent
corpus = root / "fuzz" / "corpus"
MAGIC = b"#KORVALINTH15FILEFORMAT#\0"


def put(folder, data):
    d = corpus / folder
    d.mkdir(parents=True, exist_ok=True)
    (d / hashlib.sha1(data).hexdigest()[:16]).write_bytes(data)


def document(commands):
    out = bytearray(MAGIC)
    for c in commands:
        try:
            body = c.encode("cp1250")
        except UnicodeEncodeError:
            continue
        out += b"%4d\0" % (len(body) + 1) + body + b"\0"
    return bytes(out)


sessions = [p.read_text(encoding="utf-8") for p in sorted((root / "tests/transcripts").glob("*.txt"))]
manual = (root / "help/help.htm").read_text(encoding="utf-8")
sessions += [html.unescape(re.sub(r"<[^>]+>", "", s))
             for s in re.findall(r'<pre class="session">(.*?)</pre>', manual, re.S)]

for s in sessions:
    commands = [l for l in s.splitlines() if l.startswith(">>")]
    if not commands:
        continue
    put("batch", "\n".join(commands).encode("utf-8") + b"\n")
    put("document", document(commands))
    for c in commands:
        text = c[2:].strip()
        if text:
            put("command", text.encode("utf-8"))

for kvl in sorted((root / "examples").glob("*.kvl")):
    put("batch", kvl.read_bytes())
    put("document", kvl.read_bytes())
