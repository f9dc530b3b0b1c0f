#!/usr/bin/env bash
# The README and docs/ name only what the checkout has: every repository path
# in backticks (a name under one of its top-level folders, or a top-level file),
# every relative link, and every `make TARGET` that a span or a command line
# starts with must exist. Generated places (build/...) and placeholders (<dll>,
# ...) are not paths of the checkout.
# Usage: check_docs.sh ROOT [FILE...]   (default: ROOT's README.md and docs/*.md)
set -uo pipefail
if [ $# -lt 1 ]; then
  echo "usage: $0 ROOT [FILE...]" >&2
  exit 2
fi
root=$(cd "$1" && pwd) || exit 2
shift
files=("$@")
[ ${#files[@]} -gt 0 ] || files=("$root/README.md" "$root"/docs/*.md)
top=$(ls -A "$root" | grep -vxE "build|\.git")
targets=$(sed -n 's/^\([A-Za-z0-9_-]*\):.*/\1/p' "$root/Makefile")

failures=0
fail() { echo "$1"; failures=$((failures + 1)); }
for file in "${files[@]}"; do
  name=${file#"$root"/}
  # Code spans and fenced lines: what a reader copies.
  spans=$(grep -o '`[^`]*`' "$file" | tr -d '`'; sed -n '/^```/,/^```/p' "$file" | grep -v '^```')
  while read -r path; do
    [ -n "$path" ] || continue
    first=${path%%/*}
    grep -qxF -- "$first" <<<"$top" || continue
    [[ $path =~ [\<\>]|\.\.\. ]] && continue # a placeholder, not a name
    [ -e "$root/$path" ] || fail "$name: \`$path\` does not exist"
  done < <(grep -oE '(^|[ (])[A-Za-z0-9._-]+(/[A-Za-z0-9._<>*-]*)*' <<<"$spans" | sed 's/^[ (]//' | sort -u)
  while read -r target; do
    grep -qxF -- "$target" <<<"$targets" || fail "$name: \`make $target\` is no target of the Makefile"
  done < <(grep -oE '^([A-Z_]+=[^ ]* )*make [a-z][a-z0-9-]*' <<<"$spans" | sed 's/.*make //' | sort -u)
  while read -r link; do
    link=${link%%#*}
    [ -z "$link" ] || [ -e "$(dirname "$file")/$link" ] || fail "$name: the link ($link) leads nowhere"
  done < <(grep -oE '\]\([^)#:]*(#[^)]*)?\)' "$file" | sed 's/^](//; s/)$//')
done
if [ "$failures" -ne 0 ]; then
  echo "FAIL: $failures name(s) in the documentation that the checkout does not have"
  exit 1
fi
echo "OK: every repository path, link and make target named in ${#files[@]} file(s) exists"
