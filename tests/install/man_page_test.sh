#!/usr/bin/env bash
# The manual page of pelvaro-cli and its --help tell the same commands and
# options: each one named in --help has its entry in the manual page, and each
# entry there is named in --help. The manual page also formats without a
# warning and carries the version the program prints.
#
#   man_page_test.sh PELVARO-CLI MANUAL-PAGE
#
# What counts, in --help: the lower-case words after "pelvaro-cli" on a usage
# line, and the first word of a line indented by exactly two spaces when it
# is a lower-case word, are commands; every word that begins with "-" is an
# option.
# In the manual page: the tag (.TP) of each entry under COMMANDS gives a
# command, each option word in a tag under OPTIONS an option.
set -euo pipefail
export LC_ALL=C  # one sort order for the lists compared below
cli=$1
page=$2

fail() { echo "man_page_test: $*" >&2; exit 1; }

help=$("$cli" --help) || fail "pelvaro-cli --help failed"
version=$("$cli" --version) || fail "pelvaro-cli --version failed"

# Words of a line, without the brackets, bars and commas of a usage synopsis.
words() { tr '[]|,()' '      ' | tr -s ' \t' '\n\n' | sed '/^$/d'; }

help_commands=$(
  {
    printf '%s\n' "$help" | sed -n 's/^\([Uu]sage:\)\{0,1\} *pelvaro-cli\( \|$\)//p' | words
    printf '%s\n' "$help" | sed -n 's/^  \([a-z][a-z0-9-]*\)\( .*\)\{0,1\}$/\1/p'
  } | grep -E '^[a-z][a-z0-9-]*$' | sort -u
)
help_options=$(printf '%s\n' "$help" | words | grep -E '^(--?[A-Za-z][A-Za-z0-9-]*|--)$' | sort -u || true)

# The manual page's source with its escapes resolved: \- is a hyphen, \f? a
# font change, \% and \& nothing; macro arguments lose their quotes.
plain=$(sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' -e 's/\\[%&]//g' -e 's/"//g' "$page")
# The first word after each .TP in section $1, macro name dropped.
tags() {
  printf '%s\n' "$plain" | awk -v want="$1" '
    /^\.SH / { section = $2; next }
    section == want && /^\.TP/ { tag = 1; next }
    tag { tag = 0; sub(/^\.[A-Z]+ */, ""); print }'
}
man_commands=$(tags COMMANDS | awk '{ print $1 }' | sort -u)
man_options=$(tags OPTIONS | words | grep -E '^(--?[A-Za-z][A-Za-z0-9-]*|--)$' | sort -u || true)

[ -n "$help_commands" ] || fail "found no command in --help; has its layout changed? (see the top of this script)"
[ -n "$man_commands" ] || fail "found no command under COMMANDS in $page"

status=0
compare() {
  local what=$1 from_help=$2 from_page=$3 only
  only=$(comm -23 <(printf '%s\n' "$from_help") <(printf '%s\n' "$from_page") | sed '/^$/d')
  [ -z "$only" ] || { echo "man_page_test: ${what} in --help but without an entry in the manual page:" $only >&2; status=1; }
  only=$(comm -13 <(printf '%s\n' "$from_help") <(printf '%s\n' "$from_page") | sed '/^$/d')
  [ -z "$only" ] || { echo "man_page_test: ${what} in the manual page but not in --help:" $only >&2; status=1; }
}
compare commands "$help_commands" "$man_commands"
compare options "$help_options" "$man_options"

# Every command also stands in the manual page's synopsis.
synopsis=$(printf '%s\n' "$plain" | awk '/^\.SH / { s = $2 } s == "SYNOPSIS"')
for command in $help_commands; do
  printf '%s\n' "$synopsis" | grep -qE "^\.B $command\$" || { echo "man_page_test: $command is not in the SYNOPSIS" >&2; status=1; }
done

# The title names the version the program prints ("pelvaro-cli VERSION").
grep -q "^\.TH .*\"Pelvaro ${version#pelvaro-cli }\"" "$page" || { echo "man_page_test: the title does not name $version" >&2; status=1; }

# groff's own warnings: a broken macro or escape.
warnings=$(LC_ALL=C.UTF-8 groff -man -ww -z -Tutf8 "$page" 2>&1) || true
[ -z "$warnings" ] || { echo "man_page_test: groff warns:" >&2; echo "$warnings" >&2; status=1; }

[ $status -eq 0 ] && echo "man_page_test: commands ($(echo $help_commands)) and options ($(echo $help_options)) agree."
exit $status
