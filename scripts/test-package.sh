#!/usr/bin/env bash
# Builds the Debian package, installs it with dpkg into a throwaway root, and
# runs the installed program on a card of its own library.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset release
cmake --build --preset release
(cd build/release && rm -f ./*.deb && cpack -G DEB)
package=$(ls build/release/tunestrip_*.deb)

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
# The throwaway root has no libc6 of its own to satisfy the dependency.
dpkg --root="$root" --force-depends --force-script-chrootless -i "$package"
dpkg --root="$root" -L tunestrip

installed="$root/usr/bin/tunestrip"
test -f "$root/usr/share/man/man1/tunestrip.1"
test -f "$root/usr/share/man/man1/tunestrip-decode.1"
work="$root/work"
mkdir "$work"
cd "$work"
"$installed" -gimmebins > /dev/null
"$installed" tunestrip_pcs-30_memory.bin -dualch | tail -n 2
test "$(stat -c %s tunestrip_pcs-30_memory.wav)" -eq $((44 + 3632 * 4 * 2 * 2))  # cells, samples, channels, bytes
"$root/usr/bin/tunestrip-decode" tunestrip_pcs-30_memory.wav --verify tunestrip_pcs-30_memory.bin -o read.bin
cmp read.bin tunestrip_pcs-30_memory.bin
echo "package: installed and ran"
