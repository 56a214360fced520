#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Plays the ladder of levels: each level against the one below it, and Expert against Normal,
# 100 games each at 1,000 ms a move from the openings beside this script (each played twice with
# the colours swapped), one game at a time so that no engine shares its processor. The records
# and results go to DIR/<pairing>/; the SPRT of each pairing comes from its results afterwards.
# usage: run-ladder.sh BUILD-DIR OUT-DIR
set -eu
build=$1 out=$2 here=$(dirname "$0")
engine="$build/pbrain-lindora --level"
for pair in "easy beginner" "normal easy" "hard normal" "expert hard" "expert normal"; do
  set -- $pair
  "$build/lindora-match" --games 100 --timeout 1000 --openings "$here/openings.txt" \
    --records "$out/$1-$2" "$engine $1" "$engine $2" > "$out/$1-$2.txt"
  "$build/lindora-match" --merge "$out/$1-$2/results-001-100.jsonl" --sprt elo0=0,elo1=100 \
    | grep -E "game pairs|A over B|SPRT"
done
