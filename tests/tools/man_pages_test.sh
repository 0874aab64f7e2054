#!/bin/sh
# The manual pages render without a warning and keep up with the programs: every command
# that `rq700 --help` lists and every option that `rq700-emu --help` lists is described.
# Usage: man_pages_test.sh <man page folder> <rq700> <rq700-emu>
set -u
pages=$1 rq700=$2 emu=$3
status=0

for page in "$pages"/*.1; do
  warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
    man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
  if [ -n "$warnings" ]; then
    echo "$page: $warnings"
    status=1
  fi
done

# The page's text with roff's escaped hyphens as plain ones.
text() { sed 's/\\-/-/g' "$pages/$1"; }

# Commands are the lower-case words after "rq700" in the help's list; each is an item.
commands=$("$rq700" --help | awk '$1 == "rq700" {
  c = ""; for (i = 2; i <= NF && $i ~ /^[a-z]+$/; ++i) c = c (c == "" ? "" : "+") $i
  if (c != "") print c }')
[ -n "$commands" ] || { echo "rq700 --help lists no commands"; status=1; }
for command in $commands; do
  command=$(echo "$command" | tr '+' ' ')
  text rq700.1 | grep -Eq "^\.BI? \"?$command( |\"|\$)" ||
    { echo "rq700.1 lacks '$command'"; status=1; }
done

options=$("$emu" --help | sed -n 's/^  \(--[a-z-]*\).*/\1/p')
[ -n "$options" ] || { echo "rq700-emu --help lists no options"; status=1; }
for option in $options; do
  text rq700-emu.1 | grep -q -- "$option\\b" || { echo "rq700-emu.1 lacks $option"; status=1; }
done
exit $status
