#!/usr/bin/env bash
# Unpacks SQLite's amalgamation (sqlite3.c, sqlite3.h) into the folder given,
# for builds with no system SQLite to link (the Windows cross build). It comes
# from the npm package better-sqlite3, which ships it in deps/sqlite3/; the
# package is fetched with npm's own client, pinned by version and checksum.
set -euo pipefail

dest=${1:?usage: fetch-sqlite.sh <folder>}
version=12.11.1
sha256=ebf0ed75a7a59dbcb3b24bbd014ef49d9f15bc328e4adcbf516f2a8fadfa2835

if [ -f "$dest/sqlite3.c" ] && [ -f "$dest/sqlite3.h" ]; then exit 0; fi
command -v npm >/dev/null || { echo "fetch-sqlite.sh: npm is needed" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && npm pack --silent "better-sqlite3@$version" >/dev/null)
tarball="$work/better-sqlite3-$version.tgz"
echo "$sha256  $tarball" | sha256sum --check --quiet - || {
  echo "fetch-sqlite.sh: better-sqlite3 $version does not match its pinned checksum" >&2
  exit 1
}
tar -xzf "$tarball" -C "$work" package/deps/sqlite3/sqlite3.c package/deps/sqlite3/sqlite3.h
mkdir -p "$dest"
mv "$work/package/deps/sqlite3/sqlite3.c" "$work/package/deps/sqlite3/sqlite3.h" "$dest/"
