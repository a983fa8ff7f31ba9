#!/usr/bin/env bash
# Lists which core folders include which, and fails on any loop among them. random and
# playback are the one pair allowed to include each other (a draw starts a piece, and the end
# of a piece draws the next), so they count as one folder here: no loop may pass through them.
set -euo pipefail
cd "$(dirname "$0")/.."

core=(player app catalogue random playback info settings)

is_core() {
  local name
  for name in "${core[@]}"; do
    [[ $name == "$1" ]] && return 0
  done
  return 1
}

group_of() {
  case $1 in
    random | playback) echo "random+playback" ;;
    *) echo "$1" ;;
  esac
}

declare -A reaches
groups=()
for from in "${core[@]}"; do
  group=$(group_of "$from")
  [[ " ${groups[*]} " == *" $group "* ]] || groups+=("$group")
  targets=$(grep -rhoE '^#include "[a-z_]+/' "src/$from" | sed -E 's/^#include "([a-z_]+)\//\1/' |
    sort -u)
  for to in $targets; do
    if [[ $to != "$from" ]] && is_core "$to"; then
      echo "$from -> $to"
      [[ $(group_of "$to") == "$group" ]] || reaches["$group $(group_of "$to")"]=1
    fi
  done
done

# Every folder each folder reaches through includes (transitive closure).
for via in "${groups[@]}"; do
  for from in "${groups[@]}"; do
    [[ -n ${reaches["$from $via"]:-} ]] || continue
    for to in "${groups[@]}"; do
      [[ -n ${reaches["$via $to"]:-} ]] && reaches["$from $to"]=1
    done
  done
done

status=0
for group in "${groups[@]}"; do
  if [[ -n ${reaches["$group $group"]:-} ]]; then
    echo "layer loop: $group includes itself through other core folders" >&2
    status=1
  fi
done
exit "$status"
