#!/usr/bin/env bash
# A short tour of vellumkit-cli against the demo databases, for a machine
# without a display, where the editor cannot show its window.
# Usage: scripts/cli-tour.sh BIN_DIR   (the folder holding vellumkit-cli)
set -euo pipefail

bin=${1:?usage: scripts/cli-tour.sh BIN_DIR}
cli="$bin/vellumkit-cli"
db="Demo Sales"
work=$(mktemp -d "${TMPDIR:-/tmp}/vellumkit-tour.XXXXXX")
trap 'rm -rf "$work"' EXIT

# Shows a command as one would type it, then runs it.
step() {
  local shown="\$ vellumkit-cli"
  local arg
  for arg in "${@:2}"; do
    case $arg in
      *[[:space:]\"\'\(\)]*) shown+=" \"$arg\"" ;;
      *) shown+=" $arg" ;;
    esac
  done
  printf '\n%s\n' "$shown"
  "$@"
}

cat <<TEXT
No display found (neither DISPLAY nor WAYLAND_DISPLAY is set), so the editor
is not started. Here is a short tour of its command-line companion on the demo
database "$db" instead; the scripts it checks out go to a temporary folder.
TEXT

step "$cli" databases
step "$cli" categories "$db"
step "$cli" forms "$db" Account
step "$cli" fields "$db" Account
step "$cli" checkout "$db" Account "Account (Short)" -o "$work/Account (Short).vbs"
step "$cli" outline "$work/Account (Short).vbs"
step "$cli" checksum "$work/Account (Short).vbs"
# Back in as it came out; the tag lines are refreshed as the settings say.
step "$cli" checkin "$db" Account "Account (Short)" "$work/Account (Short).vbs"
step "$cli" pull "$db" "$work/scripts"
step "$cli" status "$db" "$work/scripts"

cat <<TEXT

That was the command-line tool; '$cli --help' lists all it does.
To use the editor, run scripts/run.sh again on a desktop (X11 or Wayland), or
start it on a virtual screen and look at it over VNC or a screenshot:
  xvfb-run -a $bin/vellumkit
TEXT
