#!/usr/bin/env bash
# Runs ./test.sh on a fresh, minimal Debian of the given release: scripts/try-debian.sh 12|13 [--package]
# (with --package, then ./package.sh too, which ends with lintian's verdict on that release)
# Builds a chroot with debootstrap (--variant=minbase) from the archive apt already uses, clones this
# working tree's HEAD into it and runs ./test.sh there as root; exits with the test's status. The
# bootstrapped base is cached in build-chroot/ (gitignored), so only the first run of a release pays
# for debootstrap. Needs root (debootstrap, mount, chroot). Not part of ./test.sh.
set -euo pipefail

# The braces make bash read the whole script before running it, so editing it during a run is safe.
{
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh

case "${1:-}" in
12) codename=bookworm ;;
13) codename=trixie ;;
*)
    echo "usage: $0 12|13 [--package]" >&2
    exit 2
    ;;
esac
commands='./test.sh'
case "${2:-}" in
"") ;;
--package) commands='./test.sh && ./package.sh' ;;
*)
    echo "usage: $0 12|13 [--package]" >&2
    exit 2
    ;;
esac
if [ "$(id -u)" -ne 0 ]; then
    echo "$0 needs root to bootstrap, mount and enter the chroot" >&2
    exit 1
fi
ensure_packages debootstrap debian-archive-keyring git

# The Debian archive apt already uses: the first URIs/deb entry that is neither security nor a third party.
mirror=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources 2>/dev/null |
    sed -nE 's/^URIs:[[:space:]]*//p; s/^deb[[:space:]]+(\[[^]]*\][[:space:]]+)?([^[:space:]]+).*/\2/p' |
    tr ' ' '\n' | grep -E '/debian/?$' | grep -v security | head -n 1 || true)
mirror=${mirror:-http://deb.debian.org/debian}

# A tree is removed only once nothing is mounted in it: rm -rf through a bind mount of /dev would empty the
# host's.
removeTree() {
    if grep -q " $1/" /proc/mounts; then
        echo "Something is still mounted under $1: unmount it first" >&2
        return 1
    fi
    rm -rf "$1"
}

cache=$PWD/build-chroot
base=$cache/$codename-base.tar
root=$cache/$codename-run
mkdir -p "$cache"
if [ ! -s "$base" ]; then
    echo "Bootstrapping Debian $1 ($codename) from $mirror"
    removeTree "$cache/$codename-base"
    debootstrap --variant=minbase "$codename" "$cache/$codename-base" "$mirror"
    tar -C "$cache/$codename-base" -cf "$base.partial" . && mv "$base.partial" "$base"
    removeTree "$cache/$codename-base"
fi

mounted=()
cleanUp() {
    local i process
    # What the tests left running in the chroot (a bus daemon, say) would keep its mounts busy.
    for process in /proc/[0-9]*; do
        if [ "$(readlink "$process/root" 2>/dev/null)" = "$root" ]; then
            kill "${process#/proc/}" 2>/dev/null || true
        fi
    done
    sleep 1
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount "${mounted[i]}" || umount -l "${mounted[i]}" || true
    done
    removeTree "$root" || true
}
trap cleanUp EXIT

removeTree "$root" || {
    trap - EXIT
    exit 1
}
mkdir -p "$root"
tar -C "$root" -xf "$base"
cp /etc/resolv.conf "$root/etc/resolv.conf"
# Services installed with the test packages must not start inside the chroot.
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
chmod 755 "$root/usr/sbin/policy-rc.d"
git clone --quiet --no-checkout . "$root/root/scoutwell"
git -C "$root/root/scoutwell" checkout --quiet --detach "$(git rev-parse HEAD)"

for dir in /proc /sys /dev /dev/pts /dev/shm; do
    mkdir -p "$root$dir"
    mount --bind "$dir" "$root$dir"
    mounted+=("$root$dir")
done

echo "Running $commands on Debian $1 ($codename) at $(git rev-parse --short HEAD)"
status=0
chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM="${TERM:-dumb}" \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    bash -c "cd /root/scoutwell && $commands" || status=$?
echo "Debian $1 ($codename): $commands exited with $status"
exit "$status"
}
