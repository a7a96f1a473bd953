#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# cli_commands.sh KESTROVA_CLI OUT: writes to OUT the COMMANDS section of kestrova-cli's
# man page, a help2man include: every command the program lists, with its usage, what it
# does and its own options, each read from the program's own "COMMAND --help" at build
# time, so that the page says what the program takes.
set -euo pipefail
cli=$1 out=$2
# Whole or not at all: a failed run leaves no page behind that looks finished.
exec >"$out.tmp"
trap 'rm -f "$out.tmp"' EXIT

echo "[COMMANDS]"
printf '%s\n' 'Each command also takes \fB\-h\fR, \fB\-\-help\fR and \fB\-v\fR, \fB\-\-version\fR.'
"$cli" --help | sed -n '/^Commands:/,/^$/s/^  \([a-z]\)/\1/p' |
  awk '{ words = $1; for (i = 2; i <= NF && $i ~ /^[a-z][a-z-]*$/; i++) words = words " " $i; print words }' |
  while read -r command; do
    # shellcheck disable=SC2086 # the command's words are separate arguments
    "$cli" $command --help | awk -v command="$command" '
      # roff: a backslash is written \e, a minus sign \-. A line of text starts with \&,
      # so that one starting with a dot or a quote is not read as a request.
      function roff(text) {
        gsub(/\\/, "\\e", text); gsub(/-/, "\\-", text)
        return text
      }
      # "-o, --output <FILE>": the option names bold, what they take in italics.
      function tag(spec,    n, parts, i, out) {
        n = split(spec, parts, " ")
        for (i = 1; i <= n; i++)
          out = out (i > 1 ? " " : "") (parts[i] ~ /^</ ? "\\fI" : "\\fB") roff(parts[i]) "\\fR"
        return out
      }
      function flush() {
        if (spec != "" && spec !~ /^-h, --help$|^-v, --version$/)
          printf ".TP\n%s\n\\&%s\n", tag(spec), roff(text)
        spec = ""
      }
      NR == 1 { sub(/^Usage: [^ ]+ [^[]*\[options\] ?/, ""); usage = $0; next }
      NR == 2 { printf ".TP\n\\fB%s\\fR %s\n\\&%s\n.RS\n", roff(command), roff(usage), roff($0); next }
      /^Options:/ { options = 1; next }
      !options { next }
      /^  -/ {
        flush()
        line = substr($0, 3)
        at = match(line, /   */)
        spec = at ? substr(line, 1, at - 1) : line
        text = at ? substr(line, at + RLENGTH) : ""
        next
      }
      /^  +[^ ]/ { sub(/^ +/, ""); text = text " " $0 }
      END { flush(); print ".RE" }'
  done
mv "$out.tmp" "$out"
