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
  echo "DISHONEST, HANG). Cells marked * are the third that \`make test\` runs."
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
  echo "Not in the table yet, because modemsim cannot play them: the brand check (the"
  echo "update of these models does not ask for a brand), the loader speed check, EOT,"
  echo "garbage or a late answer at a single command or block, and a hang at a record."
} >docs/fault-matrix.md.new
mv docs/fault-matrix.md.new docs/fault-matrix.md
if [ $status -ne 0 ]; then
  grep -h -B2 -A30 "Failure\|FAILED  \]" "$cells"/*.log | head -300
fi
exit $status
