#!/bin/bash
# Runs an end-to-end case on a small file system of its own: a tmpfs of
# 1 MiB mounted for the case, its path in HS_FULL_DISK_DIR, unmounted again
# afterwards.
#   full_disk.sh <build dir> <case name> <driver.exe> [driver arguments...]
# Mounting needs root. Where it is not permitted the case is not run: the
# script says so and exits 77, which ctest reports as skipped.
set -u
build=$1
mnt="$build/full-disk"
mkdir -p "$mnt"
if mountpoint -q "$mnt"; then umount "$mnt"; fi
if ! err=$(mount -t tmpfs -o size=1m,mode=0777 hs-full-disk "$mnt" 2>&1); then
  echo "SKIPPED: the full-disk case mounts a small tmpfs, which is not permitted here: $err"
  exit 77
fi
export HS_FULL_DISK_DIR="$mnt"
"$(dirname "$0")/run_e2e.sh" "$@"
rc=$?
# The program and Wine may still hold the directory for a moment.
for _ in $(seq 1 50); do
  umount "$mnt" 2>/dev/null && break
  sleep 0.2
done
exit $rc
