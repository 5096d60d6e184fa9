#!/usr/bin/env python3
"""Writes the VBScript language reference in data/vbsdoc/ from the compact
sources beside this script (*.txt).

The editor reads the reference in a strict way (see check_vbsdoc.py), so the
pages are generated: every topic gets the same shape, the keyword page lists
one entry per line, and the syntax line of a topic is a single line wrapped in
<PRE>...</PRE> with no character entities (the editor shows it raw).

Source format, one record per topic:

    @ Abs Function              title: the word under the caret, a blank, a kind
    summary: one paragraph      what the element does
    syntax: Abs(number)         first one is the syntax line; more may follow
    arg number: text            one per argument or part (repeatable)
    returns: text               the result
    note: text                  remarks (repeatable)
    alias: Loop Keyword         a further keyword page entry for this topic
    rank: 1                     sorts after entries of the same first word
    see: Sgn Function, ...      related topics by title
    example:                    the rest of the record is example code

A line that begins with blanks continues the field before it.

Constant tables (constants.txt) use groups instead:

    = Color Constants
    summary: text
    note: text
    | vbBlack | &h000000 | Black.

and each row becomes a topic "vbBlack Constant" too.
"""

import html
import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
OUT = os.path.join(ROOT, "data", "vbsdoc")

# --draft leaves out links to topics not written yet instead of failing.
STRICT = "--draft" not in sys.argv[1:]

SOURCES = ["statements.txt", "keywords.txt", "functions.txt",
           "conversion.txt", "datetime.txt", "misc.txt", "operators.txt",
           "objects.txt", "members.txt", "constants.txt"]

TEXT_FIELDS = {"summary", "returns", "note", "see", "alias", "rank", "syntax"}

# Entries of the same first word are listed in this order of kinds, so the
# syntax line of a word shows the statement or function before a method or
# property of the same name.
KIND_RANK = {"Statement": 0, "Function": 0, "Operator": 0, "Keyword": 1,
             "Object": 1, "Collection": 1, "Constant": 2, "Method": 3,
             "Property": 3, "Constants": 5}


class Topic:
    def __init__(self, title, where):
        self.title = title
        self.where = where
        self.summary = ""
        self.syntax = []
        self.args = []
        self.returns = ""
        self.notes = []
        self.aliases = []
        self.rank = 0
        self.see = []
        self.example = []
        self.rows = []          # constant groups only
        self.group = None       # constant topics: the group topic

    @property
    def kind(self):
        return self.title.rsplit(" ", 1)[-1]

    @property
    def file(self):
        slug = re.sub(r"[^a-z0-9]+", "_", self.title.lower()).strip("_")
        return slug + ".htm"


def fail(where, msg):
    sys.exit(f"{where}: {msg}")


def parse(path):
    topics = []
    cur = None
    field = None
    in_example = False
    name = os.path.basename(path)
    with open(path, encoding="ascii") as f:
        lines = f.read().split("\n")
    for no, raw in enumerate(lines, 1):
        where = f"{name}:{no}"
        line = raw.rstrip()
        if line.startswith("@ ") or line.startswith("= "):
            cur = Topic(line[2:].strip(), where)
            if line.startswith("= "):
                cur.rows = []
                cur.is_group = True
            topics.append(cur)
            field = None
            in_example = False
            continue
        if cur is None:
            if line and not line.startswith("#"):
                fail(where, "text outside a record")
            continue
        if in_example:
            cur.example.append(line)
            continue
        if not line or line.startswith("#"):
            field = None
            continue
        if line.startswith("| "):
            cells = [c.strip() for c in line.strip().strip("|").split("|")]
            if len(cells) != 3:
                fail(where, "a constant row needs name | value | meaning")
            cur.rows.append(cells)
            field = None
            continue
        if line[0] in " \t":
            if field is None:
                fail(where, "continuation without a field")
            text = " " + line.strip()
            if field == "arg":
                cur.args[-1][1] += text
            elif field in ("note",):
                cur.notes[-1] += text
            elif field in ("summary", "returns"):
                setattr(cur, field, getattr(cur, field) + text)
            else:
                fail(where, f"{field} cannot continue")
            continue
        m = re.match(r"(summary|syntax|arg|returns|note|alias|rank|see|example)"
                     r"(?: ([^:]+))?:(.*)$", line)
        if not m:
            fail(where, f"unknown line: {line}")
        key, argname, value = m.group(1), m.group(2), m.group(3).strip()
        if key == "syntax":
            # Keep the indentation of a block form's inner lines.
            value = m.group(3)[1:].rstrip() if m.group(3).startswith(" ") \
                else value
        field = key
        if key == "arg":
            if not argname:
                fail(where, "arg needs a name")
            cur.args.append([argname.strip(), value])
        elif key == "example":
            in_example = True
        elif key == "syntax":
            cur.syntax.append(value)
        elif key == "note":
            cur.notes.append(value)
        elif key == "alias":
            cur.aliases.append(value)
        elif key == "see":
            cur.see.extend(s.strip() for s in value.split(",") if s.strip())
        elif key == "rank":
            cur.rank = int(value)
        else:
            setattr(cur, key, value)
    for t in topics:
        while t.example and not t.example[-1]:
            t.example.pop()
    return topics


def expand_groups(topics):
    """Constant groups become a group topic plus one topic per constant."""
    out = []
    for t in topics:
        if not getattr(t, "is_group", False):
            out.append(t)
            continue
        out.append(t)
        for name, value, meaning in t.rows:
            c = Topic(f"{name} Constant", t.where)
            c.summary = meaning
            c.syntax = [f"{name} = {value}"]
            c.notes = [f"One of the {t.title}. {t.summary}"]
            c.group = t
            c.see = [t.title]
            c.example = list(t.example)
            out.append(c)
    return out


def check_syntax_line(t, s):
    # The editor strips tags and shows the rest raw: no tags, no entities.
    if "<" in s or ">" in s:
        fail(t.where, f"syntax line of {t.title} holds < or >")
    if re.search(r"&[A-Za-z]+;|&#", s):
        fail(t.where, f"syntax line of {t.title} holds an entity")
    if not s.strip() and s is t.syntax[0]:
        fail(t.where, f"{t.title} has an empty syntax line")


def e(text):
    return html.escape(text, quote=False)


def render(t, by_title):
    lines = [
        "<HTML>",
        "<HEAD>",
        '<META http-equiv="Content-Type" content="text/html; charset=us-ascii">',
        f"<TITLE>{e(t.title)}</TITLE>",
        "</HEAD>",
        "<BODY>",
        f"<H3>{e(t.title)}</H3>",
    ]
    if t.summary:
        lines.append(f"<P>{e(t.summary)}</P>")
    if not t.syntax:
        fail(t.where, f"{t.title} has no syntax")
    lines.append("<H5>Syntax</H5>")
    lines.append("<BLOCKQUOTE>")
    # The first form is the syntax line the editor shows, alone on its line;
    # further forms (a block statement written out) follow in one block.
    for s in t.syntax:
        check_syntax_line(t, s)
    lines.append(f"<PRE>{t.syntax[0]}</PRE>")
    if len(t.syntax) > 1:
        lines.append("<PRE>" + "\n".join(t.syntax[1:]) + "</PRE>")
    lines.append("</BLOCKQUOTE>")
    if t.args:
        head = "Parts" if t.kind in ("Statement", "Keyword") else "Arguments"
        lines.append(f"<H5>{head}</H5>")
        lines.append("<DL>")
        for name, desc in t.args:
            lines.append(f"<DT><I>{e(name)}</I></DT>")
            lines.append(f"<DD>{e(desc)}</DD>")
        lines.append("</DL>")
    if t.returns:
        lines.append("<H5>Result</H5>")
        lines.append(f"<P>{e(t.returns)}</P>")
    if t.rows:
        lines.append("<H5>Constants</H5>")
        lines.append("<TABLE border=1 cellpadding=3>")
        lines.append("<TR><TH>Constant</TH><TH>Value</TH><TH>Meaning</TH></TR>")
        for name, value, meaning in t.rows:
            c = by_title[f"{name} Constant"]
            lines.append(f'<TR><TD><A href="{c.file}">{e(name)}</A></TD>'
                         f"<TD>{e(value)}</TD><TD>{e(meaning)}</TD></TR>")
        lines.append("</TABLE>")
    if t.notes:
        lines.append("<H5>Remarks</H5>")
        for n in t.notes:
            lines.append(f"<P>{e(n)}</P>")
    if t.example:
        lines.append("<H5>Example</H5>")
        lines.append("<PRE>")
        lines.extend(e(x) for x in t.example)
        lines.append("</PRE>")
    if t.see:
        links = []
        for s in t.see:
            other = by_title.get(s)
            if other is None:
                if STRICT:
                    fail(t.where, f"see: no topic {s}")
                print(f"{t.where}: see: no topic {s} (left out)")
                continue
            links.append(f'<A href="{other.file}">{e(s)}</A>')
        if links:
            lines.append("<H5>See also</H5>")
            lines.append("<P>" + ", ".join(links) + "</P>")
    lines.append('<P><A href="vbsalp2.htm">Keyword index</A></P>')
    lines.append("</BODY>")
    lines.append("</HTML>")
    return "\n".join(lines) + "\n"


def sort_key(entry):
    text, t = entry
    first = text.split(" ", 1)[0].lower()
    return (first, t.rank if text == t.title else 0,
            KIND_RANK.get(text.rsplit(" ", 1)[-1], 4), text.lower())


def keyword_page(entries):
    lines = [
        "<HTML>",
        "<HEAD>",
        '<META http-equiv="Content-Type" content="text/html; charset=us-ascii">',
        "<TITLE>VBScript Keyword Index</TITLE>",
        "<!-- Written by scripts/vbsdoc/gen_vbsdoc.py; edit the sources there. -->",
        "</HEAD>",
        "<BODY>",
        "<H3>VBScript Keyword Index</H3>",
        "<P>Every statement, function, operator, keyword, object, method,",
        "property and constant of the language, in alphabetical order.</P>",
    ]
    letter = None
    for text, t in entries:
        first = text[0].upper()
        if first != letter:
            letter = first
            lines.append(f"<H4>{letter}</H4>")
        lines.append(f'<A href="{t.file}">{text}</A><BR>')
    lines.append("</BODY>")
    lines.append("</HTML>")
    return "\n".join(lines) + "\n"


def main():
    topics = []
    for name in SOURCES:
        path = os.path.join(HERE, name)
        if os.path.exists(path):
            topics.extend(parse(path))
    topics = expand_groups(topics)
    by_title = {}
    files = {}
    for t in topics:
        if not re.fullmatch(r"[A-Za-z][A-Za-z0-9_]* .+", t.title):
            fail(t.where, f"title must begin with a word and a blank: {t.title}")
        if t.title in by_title:
            fail(t.where, f"duplicate topic {t.title}")
        if t.file in files:
            fail(t.where, f"file name clash {t.file}")
        by_title[t.title] = t
        files[t.file] = t

    entries = []
    for t in topics:
        entries.append((t.title, t))
        for a in t.aliases:
            if not re.fullmatch(r"[A-Za-z][A-Za-z0-9_]* .+", a):
                fail(t.where, f"alias must begin with a word and a blank: {a}")
            if a in by_title:
                fail(t.where, f"alias {a} is also a topic")
            entries.append((a, t))
    entries.sort(key=sort_key)

    # The list of built-in functions is kept by hand, apart from the topics,
    # so that a function left out of the reference is noticed here.
    with open(os.path.join(HERE, "builtin-functions.txt"), encoding="ascii") as f:
        builtins = f.read().split()
    documented = {t.title[:-len(" Function")] for t in topics
                  if t.kind == "Function"}
    for name in builtins:
        if name not in documented and STRICT:
            sys.exit(f"built-in function {name} has no topic")
    for name in sorted(documented - set(builtins)):
        sys.exit(f"{name} Function is not in builtin-functions.txt")
    os.makedirs(OUT, exist_ok=True)
    for old in os.listdir(OUT):
        if old.endswith(".htm"):
            os.remove(os.path.join(OUT, old))
    for t in topics:
        with open(os.path.join(OUT, t.file), "w", encoding="ascii",
                  newline="\n") as f:
            f.write(render(t, by_title))
    with open(os.path.join(OUT, "vbsalp2.htm"), "w", encoding="ascii",
              newline="\n") as f:
        f.write(keyword_page(entries))
    with open(os.path.join(OUT, "builtin-functions.txt"), "w",
              encoding="ascii", newline="\n") as f:
        f.write("\n".join(builtins) + "\n")
    kinds = {}
    for t in topics:
        kinds[t.kind] = kinds.get(t.kind, 0) + 1
    summary = ", ".join(f"{k} {v}" for k, v in sorted(kinds.items()))
    print(f"{len(topics)} topics, {len(entries)} keyword entries ({summary})")


if __name__ == "__main__":
    main()
