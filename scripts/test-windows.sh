#!/usr/bin/env bash
# The Windows build, tested under Wine: cross-compiles the core, vellumkit-cli,
# the Commence-compatible server, the setup and the Win32 tests with
# MinGW-w64, runs the tests under wine64 in a throwaway WINEPREFIX, then the
# round trip: every demo script is checked out of the Windows server and back
# in, and must come out again byte for byte; an unknown form is refused; the
# server's window is found and brought to the front.
#
# Wine runs with its null graphics driver (no X server): windows, messages,
# DDE and the window finder work without a display.
#
#   scripts/test-windows.sh [build-folder]     (default: build-windows)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${1:-build-windows}

packages=(cmake ninja-build g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine64
  nlohmann-json3-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# npm fetches the pinned SQLite amalgamation (scripts/fetch-sqlite.sh).
command -v npm >/dev/null || missing+=(npm)
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
fi
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64)
# Debian's wine64 keeps wineserver beside the loader; only the "wine" package
# puts one on PATH. Without it the null driver below would never take effect.
wineserver=/usr/lib/wine/wineserver
[ -x "$wineserver" ] || wineserver=$(command -v wineserver || true)
if [ ! -x "$wineserver" ]; then
  echo "test-windows: wineserver not found" >&2
  exit 1
fi

# The platform's own tests, then the Commence link, the server and the
# command-line tool, each against the Windows server, and the local history.
tests=(win32_registry_test win32_dde_test win32_desktop_test win32_platform_ini_file_test
  commence_commands_test commence_directory_test commence_link_test commence_transfer_test
  commence_focus_test commence_validation_test
  tools_command_parser_test tools_store_test tools_server_test tools_setup_test cli_tests
  history_tests)
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DVK_BUILD_BENCH=OFF >/dev/null
nice ninja -C "$build" -j2 vellumkit-cli vellumkit-lsp commence-server vellumkit-setup win32_dde_peer \
  win32_find_window "${tests[@]}"
case $build in /*) bin=$build/bin ;; *) bin=$root/$build/bin ;; esac

WINEPREFIX=$(mktemp -d /tmp/vellumkit-wine.XXXXXX)
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  "$wineserver" -k 2>/dev/null || true
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT
"$wine" wineboot -i >/dev/null 2>&1
"$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
# The desktop process of the first boot keeps the driver it started with:
# end it, so that every program from here on has the null driver.
"$wineserver" -k 2>/dev/null || true
"$wineserver" -w 2>/dev/null || true

passed=0
failed=0
check() {  # check NAME COMMAND...: runs a check, counts and reports it
  local name=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $name"
  fi
}

for t in "${tests[@]}"; do
  echo "== $t"
  check "$t" timeout 300 "$wine" "$bin/$t.exe" --gtest_brief=1
done

# The round trip, against a registry and databases of its own.
echo "== round trip"
export VELLUMKIT_REGISTRY_DIR='C:\vellumkit\registry'
work=$WINEPREFIX/drive_c/vellumkit/work
mkdir -p "$work"
cli() { (cd "$bin" && timeout 120 "$wine" vellumkit-cli.exe "$@"); }
(cd "$bin" && "$wine" vellumkit-setup.exe --data-dir 'C:\vellumkit\data') >/dev/null
# Tags off: a check-in stores the script as it is.
editor='HKCU\Software\Vellumkit\Redirected\C:/vellumkit/registry\HKEY_CURRENT_USER\Software\Thornmere\Vellumkit\Editor'
for tag in "Apply Time Tag" "Apply ID Tag" "Apply Checksum Tag"; do
  "$wine" reg add "$editor" /v "$tag" /t REG_DWORD /d 0 /f >/dev/null 2>&1
done

round_trip() {  # round_trip DB CATEGORY FORM
  local first=$work/first.vbs second=$work/second.vbs
  rm -f "$first" "$second"
  cli checkout "$1" "$2" "$3" -o 'C:\vellumkit\work\first.vbs' &&
    cli checkin "$1" "$2" "$3" 'C:\vellumkit\work\first.vbs' 2>/dev/null &&
    cli checkout "$1" "$2" "$3" -o 'C:\vellumkit\work\second.vbs' &&
    cmp -s "$first" "$second"
}
scripts=0
while IFS= read -r db; do
  db=${db%$'\r'}
  while IFS= read -r category; do
    category=${category%$'\r'}
    while IFS= read -r form; do
      form=${form%$'\r'}
      check "round trip $db / $category / $form" round_trip "$db" "$category" "$form"
      scripts=$((scripts + 1))
    done < <(cli forms "$db" "$category")
  done < <(cli categories "$db")
done < <(cli databases)
echo "$scripts scripts checked out, in and out again"
[ "$scripts" -gt 0 ] || check "demo scripts found" false

refused() {
  local status=0
  cli checkout "Demo Sales" Account "No Such Form" >/dev/null 2>&1 || status=$?
  [ "$status" -eq 4 ]
}
check "unknown form refused" refused
check "Commence window found and brought to front" \
  "$wine" "$bin/win32_find_window.exe" "Commence - Demo Sales"

# The language server over a pipe: standard input and output in binary mode
# (no CR put before each LF), an answer to each request, a clean exit.
frame() { printf 'Content-Length: %d\r\n\r\n%s' "${#1}" "$1"; }
language_server() {
  local out=$work/lsp.out
  {
    frame '{"jsonrpc":"2.0","id":1,"method":"initialize","params":{"capabilities":{}}}'
    frame '{"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///C:/vellumkit/work/a.vbs","languageId":"vb","version":1,"text":"If x Then\r\n"}}}'
    frame '{"jsonrpc":"2.0","id":2,"method":"textDocument/documentSymbol","params":{"textDocument":{"uri":"file:///C:/vellumkit/work/a.vbs"}}}'
    frame '{"jsonrpc":"2.0","id":3,"method":"shutdown"}'
    frame '{"jsonrpc":"2.0","method":"exit"}'
  } | (cd "$bin" && timeout 60 "$wine" vellumkit-lsp.exe 2>/dev/null) >"$out" || return 1
  [ "$(head -c 16 "$out")" = "Content-Length: " ] && ! grep -q $'\r\r' "$out" &&
    grep -q '"id":2' "$out" && grep -q '"id":3' "$out"
}
check "language server over a pipe" language_server

echo "Windows: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
