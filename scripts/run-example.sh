#!/usr/bin/env bash
# Builds zkhelp and shows a topic of the bundled sample help set.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/deps.sh"
zkhelp_install_deps

cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$root/build" -j2 --target zkhelp_cli >/dev/null

# A working folder of its own whose Path file names the sample folder, so the
# sample set itself stays untouched.
demo="$root/build/demo"
mkdir -p "$demo"
echo "$root/examples" > "$demo/Path"
cd "$demo"
"$root/build/cli/zkhelp_cli" intro "${1:-en}"
