#!/usr/bin/env bash
# Lists which core folders include which, and fails when two of them include each other.
# random and playback are the one pair allowed to: a draw starts a piece, and the end of a
# piece draws the next.
set -euo pipefail
cd "$(dirname "$0")/.."

core=(player app catalogue random playback info settings)
allowed="playback random"

is_core() {
  local name
  for name in "${core[@]}"; do
    [[ $name == "$1" ]] && return 0
  done
  return 1
}

edges=()
declare -A includes
for from in "${core[@]}"; do
  targets=$(grep -rhoE '^#include "[a-z_]+/' "src/$from" | sed -E 's/^#include "([a-z_]+)\//\1/' |
    sort -u)
  for to in $targets; do
    if [[ $to != "$from" ]] && is_core "$to"; then
      edges+=("$from $to")
      includes["$from $to"]=1
    fi
  done
done

status=0
for edge in "${edges[@]}"; do
  read -r from to <<<"$edge"
  echo "$from -> $to"
  if [[ $from < $to && -n ${includes["$to $from"]:-} && "$from $to" != "$allowed" ]]; then
    echo "layer cycle: $from and $to include each other" >&2
    status=1
  fi
done
exit "$status"
