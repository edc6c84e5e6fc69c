#!/usr/bin/env bash
# The shipped desktop files and man pages, checked by the tools the desktop
# and the distributions check them with. Exits 77 (skipped) when the tool is
# not installed.
#   validate.sh desktop FILE
#   validate.sh appstream FILE
#   validate.sh man PAGE PROGRAM [PAGE PROGRAM...]
set -euo pipefail
what="$1"; shift
need() { command -v "$1" >/dev/null 2>&1 || { echo "$1 is not installed: skipped"; exit 77; }; }
fail() { echo "FAIL: $*"; exit 1; }

case "$what" in
  desktop)
    need desktop-file-validate
    out=$(desktop-file-validate "$1" 2>&1) || fail "$out"
    [ -z "$out" ] || fail "desktop-file-validate: $out"
    ;;
  appstream)
    need appstreamcli
    appstreamcli validate --no-net "$1" || fail "appstreamcli validate"
    ;;
  man)
    need man
    warnings=$(mktemp)
    trap 'rm -f "$warnings"' EXIT
    while [ $# -ge 2 ]; do
      page="$1" program="$2"; shift 2
      text=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>"$warnings") || fail "man -l $page"
      [ ! -s "$warnings" ] || fail "$page: $(cat "$warnings")"
      for section in NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS"; do
        grep -q "^$section" <<<"$text" || fail "$page has no $section"
      done
      # Every option and command the program's --help names is in its page.
      help=$("$program" --help)
      words=$( (grep -oE -- '--[a-z][a-z-]*' <<<"$help"; sed -n 's/^  \([a-z][a-z]*\) .*/\1/p' <<<"$help") | sort -u)
      [ -n "$words" ] || fail "$program --help names nothing"
      for word in $words; do
        grep -qwe "$word" <<<"$text" || fail "$page does not mention $word"
      done
      # The program's own options (not a command's) are in the synopsis.
      synopsis=$(sed -n '/^SYNOPSIS/,/^[A-Z]/p' <<<"$text")
      for option in $(sed -n 's/^  \(--[a-z][a-z-]*\).*/\1/p' <<<"$help"); do
        grep -qwe "$option" <<<"$synopsis" || fail "$page: $option is not in the synopsis"
      done
    done
    ;;
  *) fail "unknown check $what" ;;
esac
echo ok
