#!/usr/bin/env bash
# Builds the Debian package from a configured and built release tree, then
# proves it works where users get it: unpacked into a fresh root, the
# installed command-line tool runs an installed example with its installed
# data files, and the installed desktop program opens every installed
# example (headless: it writes their reports). As root (CI, fresh machines) the package is also installed
# with apt, so that its declared dependencies are checked for real, then
# removed again.
#
# Usage: check-package.sh BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}

rm -rf "$build/package"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$build/package" >/dev/null
deb=$(ls "$build"/package/varnex_*_amd64.deb)
echo "-- built $(basename "$deb")"
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || { echo "package lacks its Qt dependency"; exit 1; }

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
for file in usr/bin/varnex usr/bin/varnex-cli usr/lib/varnex/Info/langs.txt usr/lib/varnex/Info/Regs.dat \
            usr/share/applications/varnex.desktop usr/share/icons/hicolor/scalable/apps/varnex.svg \
            usr/share/varnex/examples/level3-petrol-station.json usr/share/varnex/examples/level3-petrol-station.vnx \
            usr/share/doc/varnex/user-guide.md usr/share/doc/varnex/user-guide.html; do
  [ -e "$root/$file" ] || { echo "package lacks /$file"; exit 1; }
done

run_example() {
  local cli=$1 examples=$2
  local out
  out=$("$cli" run "$examples/level3-petrol-station.json" --iterations 50 --threads 2 --seed 1 2>"$root/run.log") || { cat "$root/run.log"; exit 1; }
  grep -q "Total Receptor Concentration" <<<"$out" || { echo "$out"; echo "the installed tool did not report results"; exit 1; }
  # The example saved with its results at build time opens with them.
  out=$("$cli" stats "$examples/level3-petrol-station.vnx" 2>"$root/run.log") || { cat "$root/run.log"; exit 1; }
  grep -q "Total Receptor Concentration" <<<"$out" || { echo "$out"; echo "the installed example holds no results"; exit 1; }
}

# The installed desktop program opens the installed examples: without a
# display it writes each one's results report and draws a graph, through the
# same code as its windows, so its Qt libraries, platform plugin, fonts and
# data files are all found where the package put them.
open_examples() {
  local program=$1 examples=$2 example
  for example in "$examples"/*.vnx; do
    "$program" --report "$example" "$root/report.pdf" 2>"$root/open.log" || { cat "$root/open.log"; echo "the installed desktop program could not open $example"; exit 1; }
    [ "$(head -c 5 "$root/report.pdf")" = "%PDF-" ] || { echo "no report of $example"; exit 1; }
  done
  "$program" --render-graph "$examples/level3-petrol-station.vnx" --kind 2 --type 3 "$root/graph.png" 2>"$root/open.log" || { cat "$root/open.log"; exit 1; }
  [ -s "$root/graph.png" ] || { echo "no graph drawn"; exit 1; }
}
# The installed Python module: importable by Debian's python3, and its
# tests pass against it (with the installed command-line tool beside it).
check_python() {
  local packages=$1 cli=$2
  [ -f "$packages/varnex/__init__.py" ] || { echo "package lacks the Python module"; exit 1; }
  PYTHONPATH="$packages" /usr/bin/python3 -c "import varnex" || { echo "the installed module does not import"; exit 1; }
  VARNEX_PYTHONPATH="$packages" VARNEX_CLI="$cli" /usr/bin/python3 -m pytest -q -p no:cacheprovider tests/python >"$root/pytest.log" 2>&1 ||
    { cat "$root/pytest.log"; echo "the Python tests failed against the installed module"; exit 1; }
}
run_example "$root/usr/bin/varnex-cli" "$root/usr/share/varnex/examples"
open_examples "$root/usr/bin/varnex" "$root/usr/share/varnex/examples"
if [ -e "$build/python/varnex/__init__.py" ]; then
  check_python "$root/usr/lib/python3/dist-packages" "$root/usr/bin/varnex-cli"
fi
echo "-- the unpacked package runs an example and its desktop program opens every example"

# The README's other way in: cmake --install into a folder of one's choice.
cmake --install "$build" --prefix "$root/prefix" >/dev/null
run_example "$root/prefix/bin/varnex-cli" "$root/prefix/share/varnex/examples"
echo "-- cmake --install puts a working tool and its examples under a prefix"

if [ "$(id -u)" -eq 0 ] && [ "${VARNEX_PACKAGE_INSTALL:-1}" != 0 ]; then
  if dpkg-query -W -f='${Status}' varnex 2>/dev/null | grep -q "install ok installed"; then
    echo "-- varnex is installed on this machine already; not replacing it"
  else
    export DEBIAN_FRONTEND=noninteractive
    apt-get install -y -q --no-install-recommends "$(realpath "$deb")" >/dev/null
    run_example /usr/bin/varnex-cli /usr/share/varnex/examples
    open_examples /usr/bin/varnex /usr/share/varnex/examples
    if [ -e "$build/python/varnex/__init__.py" ]; then
      (cd / && /usr/bin/python3 -c "import varnex") || { echo "python3 -c 'import varnex' fails after installing the package"; exit 1; }
      check_python /usr/lib/python3/dist-packages /usr/bin/varnex-cli
    fi
    apt-get remove -y -q varnex >/dev/null
    echo "-- installed with apt, ran an example, removed"
  fi
fi
