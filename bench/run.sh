#!/usr/bin/env bash
# bench/run.sh WINBUILD HOSTBUILD: runs every bench/bench-*.sh in name order. Each prints its
# figures as ratios measured side by side in the same run; nothing here asserts a time.
set -uo pipefail
here=$(dirname "$(readlink -f "$0")")
export SARVELLO_WIN_BUILD=$1 SARVELLO_HOST_BUILD=$2
rc=0
for b in "$here"/bench-*.sh; do
  [ -e "$b" ] || continue
  echo "## $(basename "$b" .sh)"
  bash "$b" || rc=1
done
exit $rc
