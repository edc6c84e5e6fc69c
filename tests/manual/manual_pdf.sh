#!/usr/bin/env bash
# The built manual: a PDF with a title page and at least a page per chapter,
# every chapter and section title of docs/manual readable in its text, and
# the pictures the chapters show embedded in it, each whole on one page.
set -euo pipefail
pdf="$1" chapters="$2"
fail() { echo "FAIL: $*"; exit 1; }

[ -s "$pdf" ] || fail "no manual at $pdf"
count=$(ls "$chapters"/[0-9][0-9]-*.md | wc -l)
pages=$(pdfinfo "$pdf" | sed -n 's/^Pages: *//p')
[ -n "$pages" ] && [ "$pages" -gt "$count" ] || fail "$pages pages for $count chapters and a title page"

text=$(pdftotext -layout "$pdf" - | tr -s ' \n' '  ')
checked=0
while IFS= read -r title; do
  grep -qF -- "$title" <<< "$text" || fail "the title \"$title\" is not in the manual's text"
  checked=$((checked + 1))
done < <(sed -n 's/^##\{0,1\} \(.*\)$/\1/p' "$chapters"/[0-9][0-9]-*.md)
[ "$checked" -gt "$count" ] || fail "only $checked titles found in the chapters"
grep -qF "Manual for version" <<< "$text" || fail "no title page"

shown=$(cat "$chapters"/[0-9][0-9]-*.md | grep -c '^!\[' || true)
embedded=$(pdfimages -list "$pdf" | tail -n +3 | wc -l)
# Each picture is drawn once: one split across two pages is drawn on both.
[ "$embedded" -eq "$shown" ] || fail "$embedded pictures embedded, $shown shown in the chapters (one split across pages?)"
echo "ok: $pages pages, $checked titles, $embedded pictures"
