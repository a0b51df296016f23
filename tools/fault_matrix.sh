#!/usr/bin/env bash
# Runs every cell of the fault matrix (JOBS at a time) and writes the table
# of outcomes to docs/fault-matrix.md. Usage: tools/fault_matrix.sh BUILD JOBS
set -uo pipefail
build=${1:-build}
jobs=${2:-2}
program="$build/tests/fault_matrix_tests"
cells=$(mktemp -d)
trap 'rm -rf "$cells"' EXIT
export FAULT_MATRIX_OUT="$cells" WIZARD_BIN_DIR="$(cd "$build" && pwd)/bin"

"$program" --gtest_list_tests | awk '
  /^[^ ]/ { suite = $1 }
  /^  /   { print suite $1 }' |
  xargs -P "$jobs" -I{} sh -c '"$1" --gtest_filter="$2" >"$3/$(echo "$2" | tr / _).log" 2>&1 ||
    echo "FAILED: $2"' _ "$program" {} "$cells"
status=0
if grep -l "\[  FAILED  \]" "$cells"/*.log >/dev/null 2>&1; then
  status=1
fi

{
  echo "# The fault matrix"
  echo
  echo "Every fault at every phase of a whole update, run by \`make fault-matrix\`"
  echo "(\`tests/integration/fault_matrix_e2e_test.cpp\`): wizard-cli update against"
  echo "modemsim over a pseudo-terminal. Each cell is the outcome the user sees and the"
  echo "seconds the cell took (simulator start to the program's end). In every cell"
  echo "each stored file is in the modem or byte for byte in the kept copies the"
  echo "program names, and success is reported only when the modem holds the new"
  echo "firmware byte for byte; a cell that breaks either says so (FILE LOST,"
  echo "DISHONEST, HANG). Cells marked * are the ones \`make test\` runs."
  echo
  echo "| Phase | Fault | Outcome | Seconds |"
  echo "| --- | --- | --- | ---: |"
  for f in "$cells"/*.cell; do
    base=$(basename "$f" .cell)
    mark=""
    if "$program" --gtest_list_tests --gtest_filter="Third/*" | grep -q "/$base\b"; then
      mark=" *"
    fi
    IFS=$'\t' read -r index phase fault outcome seconds <"$f"
    printf '%s\t| %s | %s%s | %s | %.1f |\n' "$index" "$phase" "$fault" "$mark" "$outcome" "$seconds"
  done | sort -n | cut -f2-
  echo
  echo "A modem that gives no brand passes the brand check, and one that does not"
  echo "answer the country query keeps its country: both updates go on. A modem that"
  echo "vanishes in the brand check is no candidate: its port name may soon belong to"
  echo "another device. Not in the table: a hang at the reorganisation (its ten tries"
  echo "of 120 s each outlast a cell)."
} >docs/fault-matrix.md.new
mv docs/fault-matrix.md.new docs/fault-matrix.md
if [ $status -ne 0 ]; then
  grep -h -B2 -A30 "Failure\|FAILED  \]" "$cells"/*.log | head -300
fi
exit $status
