#!/usr/bin/env bash
# Saves with orvalen-tel onto the file systems a player is mounted with when the kernel's own
# drivers are not used: FAT through fusefat (FUSE 2) and exFAT through exfat-fuse. Each gets a
# new file, then the file replaced, and the bytes must be those written on the build's own disk,
# with no temporary file left, and `orvalen-tel players` must list the mount (when the mounts can
# be made under /mnt, where it looks). Skips, saying why, where FUSE is not available.
#   usage: scripts/test-fuse-saves.sh BUILD_DIR
set -euo pipefail

tool="$(cd "${1:-build}" && pwd)/tools/orvalen-tel"
source_dir="$(cd "$(dirname "$0")/.." && pwd)"
input="$source_dir/fuzz/corpus/vcard/v30-full.vcf"

if [ ! -c /dev/fuse ]; then
    echo "skipped: no /dev/fuse here, so nothing can be mounted with FUSE"
    exit 0
fi
for program in fusefat mount.exfat-fuse mkfs.fat mkfs.exfat fusermount; do
    if ! command -v "$program" >/dev/null; then
        echo "skipped: $program is not installed (scripts/setup.sh installs it)"
        exit 0
    fi
done

work=$(mktemp -d)
# Under /mnt the player search finds them; elsewhere only the saves are tested.
mounts=$(mktemp -d /mnt/orvalen-fuse-XXXXXX 2>/dev/null || mktemp -d)
loop=""
cleanup() {
    for mount_point in "$mounts"/fat "$mounts"/exfat; do
        if mountpoint -q "$mount_point" 2>/dev/null; then
            fusermount -u "$mount_point" 2>/dev/null || umount "$mount_point" || true
        fi
    done
    if [ -n "$loop" ]; then
        losetup -d "$loop" || true
    fi
    rm -rf "$work"
    rmdir "$mounts"/fat "$mounts"/exfat "$mounts" 2>/dev/null || true
}
trap cleanup EXIT INT TERM

# What the save must write, made on an ordinary disk.
"$tool" convert --encoding GBK "$input" "$work/expected.tel" 2>/dev/null
"$tool" convert --encoding GBK --to tel "$work/expected.tel" "$work/expected-again.tel"

# Saves onto the mounted folder: a new file, then over it, then over it from another book.
save_onto() {
    local name=$1 folder=$2
    "$tool" convert --encoding GBK "$input" "$folder/Tel_Save.tel" 2>/dev/null
    cmp "$work/expected.tel" "$folder/Tel_Save.tel"
    "$tool" convert --encoding GBK "$work/expected-again.tel" "$folder/Tel_Save.tel"
    cmp "$work/expected-again.tel" "$folder/Tel_Save.tel"
    "$tool" check "$folder/Tel_Save.tel" >/dev/null
    local left
    left=$(find "$folder" -maxdepth 1 -name '.orvalen-*' | wc -l)
    if [ "$left" != 0 ]; then
        echo "$name: $left temporary files left in the folder" >&2
        exit 1
    fi
    echo "$name: a new file and a replaced one saved byte for byte"
    case "$folder" in
    /mnt/*)
        if ! "$tool" players | grep -qE "^$folder	$3	[^	]*	Tel_Save.tel\$"; then
            echo "$name: orvalen-tel players does not list $folder:" >&2
            "$tool" players >&2 || true
            exit 1
        fi
        echo "$name: listed by orvalen-tel players"
        ;;
    esac
}

mkdir "$mounts/fat" "$mounts/exfat"

mkfs.fat -C "$work/fat.img" 4096 >/dev/null
# /dev/fuse alone does not let a container mount: then the system refuses, and this says so.
if ! fusefat -o rw+ "$work/fat.img" "$mounts/fat" 2>"$work/fusefat.log"; then
    echo "skipped: the system refused the FUSE mount: $(tail -n 1 "$work/fusefat.log")"
    exit 0
fi
save_onto "FAT (fusefat -o rw+)" "$mounts/fat" fuse.fusefat
fusermount -u "$mounts/fat"

truncate -s 8M "$work/exfat.img"
mkfs.exfat -L PLAYER "$work/exfat.img" >/dev/null
# As root, exfat-fuse mounts as fuseblk, which needs a block device.
if [ "$(id -u)" -eq 0 ]; then
    if ! loop=$(losetup -f --show "$work/exfat.img" 2>/dev/null); then
        loop=""
        echo "skipped exFAT: no loop device for the image here"
        exit 0
    fi
    exfat_device=$loop
    exfat_type=fuseblk
else
    exfat_device="$work/exfat.img"
    exfat_type=fuse.exfat
fi
if ! mount.exfat-fuse "$exfat_device" "$mounts/exfat" >/dev/null 2>"$work/exfat.log"; then
    echo "skipped exFAT: the system refused the FUSE mount: $(tail -n 1 "$work/exfat.log")"
    exit 0
fi
save_onto "exFAT (mount.exfat-fuse)" "$mounts/exfat" "$exfat_type"
