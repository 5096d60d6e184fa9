#!/usr/bin/env python3
"""Reads data/vbsdoc/ the way the editor does and reports every entry that
would not work: a keyword page line it cannot split, a topic file that is
missing, a syntax line that comes out empty, a link text that does not begin
with a word and a blank, and a built-in function without an entry.
Exit status 1 when anything is wrong."""

import os
import re
import sys
from html.parser import HTMLParser

HERE = os.path.dirname(os.path.abspath(__file__))
DOC = os.path.join(os.path.dirname(os.path.dirname(HERE)), "data", "vbsdoc")
PREFIX = '<A href="'


def syntax_of(path):
    """The syntax line as the editor takes it, or None when there is none."""
    try:
        with open(path, encoding="ascii") as f:
            lines = f.read().split("\n")
    except (OSError, UnicodeDecodeError):
        return None
    try:
        i = lines.index("<H5>Syntax</H5>")
    except ValueError:
        return None
    for line in lines[i + 1:]:
        if line == "" or line == "<BLOCKQUOTE>":
            continue
        result = ""
        rest = line
        while "<" in rest:
            before, _, after = rest.partition("<")
            result += before
            if ">" not in after:
                rest = ""
                break
            rest = after.partition(">")[2]
        return result.strip()
    return None


class TagBalance(HTMLParser):
    """Collects tags closed out of order or left open."""
    VOID = {"br", "meta"}

    def __init__(self):
        super().__init__()
        self.stack = []
        self.errors = []

    def handle_starttag(self, tag, attrs):
        if tag not in self.VOID:
            self.stack.append(tag)

    def handle_endtag(self, tag):
        if self.stack and self.stack[-1] == tag:
            self.stack.pop()
        else:
            self.errors.append(f"</{tag}> out of order")


def page_problems(name):
    """A topic page that a browser would show wrongly: unbalanced tags, a
    bare < in text, a link to a page that does not exist."""
    with open(os.path.join(DOC, name), encoding="ascii") as f:
        text = f.read()
    parser = TagBalance()
    parser.feed(text)
    problems = [f"{name}: {e}" for e in parser.errors]
    if parser.stack:
        problems.append(f"{name}: unclosed {parser.stack}")
    if re.search(r"<(?![A-Za-z/!])", text):
        problems.append(f"{name}: bare < in text")
    for target in re.findall(r'href="([^"]+)"', text):
        if not os.path.exists(os.path.join(DOC, target)):
            problems.append(f"{name}: link to missing {target}")
    return problems


def main():
    problems = []
    entries = []
    with open(os.path.join(DOC, "vbsalp2.htm"), encoding="ascii") as f:
        page = f.read().split("\n")
    for no, line in enumerate(page, 1):
        if line[:9] != PREFIX:
            if line.lower().startswith("<a href"):
                problems.append(f"vbsalp2.htm:{no}: link line not in the entry form")
            continue
        rest = line[9:]
        if '">' not in rest:
            problems.append(f"vbsalp2.htm:{no}: no closing quote and >")
            continue
        target, _, rest = rest.partition('">')
        if "</" not in rest:
            problems.append(f"vbsalp2.htm:{no}: no closing tag")
            continue
        text = rest.partition("</")[0]
        word = text.split(" ", 1)[0]
        if " " not in text or not word.replace("_", "").isalnum() or not word[0].isalpha():
            problems.append(f"vbsalp2.htm:{no}: {text!r} does not begin with a word and a blank")
        if target != target.lower() or not target.endswith(".htm"):
            problems.append(f"vbsalp2.htm:{no}: file name {target!r}")
        syntax = syntax_of(os.path.join(DOC, target))
        if not syntax:
            problems.append(f"{target}: no syntax line ({text})")
        elif "&lt;" in syntax or "&gt;" in syntax or "&amp;" in syntax:
            problems.append(f"{target}: entity in the syntax line")
        entries.append(text)

    lowered = [t.lower() for t in entries]
    with open(os.path.join(DOC, "builtin-functions.txt"), encoding="ascii") as f:
        for name in f.read().split():
            if f"{name.lower()} function" not in lowered:
                problems.append(f"builtin-functions.txt: {name} has no entry")

    for name in sorted(os.listdir(DOC)):
        if name.endswith(".htm"):
            problems.extend(page_problems(name))

    for p in problems:
        print(p)
    print(f"{len(entries)} entries checked, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
