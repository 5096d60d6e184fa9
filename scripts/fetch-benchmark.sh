#!/usr/bin/env bash
# Unpacks Google Benchmark's source into the folder given, for builds with no
# packaged library to link (the Windows cross build). It is Debian's source
# package, fetched with apt's own client from Debian's archive (a private
# source list, so the system's is left alone), pinned by version and checksum.
set -euo pipefail

dest=${1:?usage: fetch-benchmark.sh <folder>}
version=1.7.1
sha256=6430e4092653380d9dc4ccb45a1e2dc9259d581f4866dc0759713126056bc1d7

if [ -f "$dest/CMakeLists.txt" ]; then exit 0; fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/lists/partial"
echo "deb-src http://deb.debian.org/debian bookworm main" >"$work/sources.list"
apt_opts=(-o "Dir::Etc::SourceList=$work/sources.list" -o Dir::Etc::SourceParts=/dev/null
  -o "Dir::State::Lists=$work/lists" -o APT::Sandbox::User=root -qq)
apt-get "${apt_opts[@]}" update >/dev/null
(cd "$work" && apt-get "${apt_opts[@]}" source --download-only "benchmark=$version-1" >/dev/null)
tarball="$work/benchmark_$version.orig.tar.gz"
echo "$sha256  $tarball" | sha256sum --check --quiet - || {
  echo "fetch-benchmark.sh: benchmark $version does not match its pinned checksum" >&2
  exit 1
}
mkdir -p "$dest"
tar -xzf "$tarball" -C "$dest" --strip-components=1
