# Sourced by the tests of the project's scripts: root (the project's folder), work (a folder of the
# test's own, removed at the end), fail MESSAGE (counts a failure) and finish (reports, then exits).
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
finish() {
  [ "$failures" -eq 0 ] && echo "all passed"
  exit $((failures > 0))
}
