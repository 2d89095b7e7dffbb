#!/usr/bin/python3
# A drive that stops answering, as a sleeping NAS or a dropped VPN does: a
# view of a folder, mounted with FUSE, in which every call but a
# look at its root waits while the gate file is closed. Nothing is cached,
# so every question reaches it.
# Usage: silent_drive.py FOLDER MOUNTPOINT GATE; after three minutes it
# opens the gate and unmounts itself.
import os
import subprocess
import sys
import threading
import time

import fusepy


class SilentDrive(fusepy.Operations):
    def __init__(self, folder, gate):
        self.folder = folder
        self.gate = gate

    def __call__(self, operation, *arguments):
        # The root itself answers: Wine looks at every drive's root whenever
        # a process names a file, in every process of the prefix, which
        # Windows does not. Never longer than a minute: the journey always
        # takes the gate away.
        deadline = time.monotonic() + 60
        while (self.closed() and time.monotonic() < deadline and
               not (operation == "getattr" and arguments[0] == "/")):
            time.sleep(0.02)
        return super().__call__(operation, *arguments)

    def closed(self):
        # The gate holds how many milliseconds after it was written it opens
        # by itself: Wine's server may itself wait on the drive, and then no
        # Windows program of the prefix could take the gate away.
        try:
            with open(self.gate) as gate:
                held = int(gate.read() or "0") / 1000
            if time.time() < os.path.getmtime(self.gate) + held:
                return True
            os.remove(self.gate)
        except (OSError, ValueError):
            pass
        return False

    def real(self, path):
        return os.path.join(self.folder, path.lstrip("/"))

    def getattr(self, path, fh=None):
        try:
            st = os.lstat(self.real(path))
        except OSError as error:
            raise fusepy.FuseOSError(error.errno)
        return {key: getattr(st, key) for key in ("st_mode", "st_size", "st_nlink", "st_uid", "st_gid",
                                                   "st_atime", "st_mtime", "st_ctime")}

    def readdir(self, path, fh):
        return [".", ".."] + os.listdir(self.real(path))

    def open(self, path, flags):
        return os.open(self.real(path), flags)

    def create(self, path, mode, fi=None):
        return os.open(self.real(path), os.O_WRONLY | os.O_CREAT | os.O_TRUNC, mode)

    def read(self, path, size, offset, fh):
        return os.pread(fh, size, offset)

    def write(self, path, data, offset, fh):
        return os.pwrite(fh, data, offset)

    def truncate(self, path, length, fh=None):
        os.truncate(self.real(path), length)

    def rename(self, old, new):
        os.rename(self.real(old), self.real(new))

    def unlink(self, path):
        os.unlink(self.real(path))

    def utimens(self, path, times=None):
        os.utime(self.real(path), times)

    def chmod(self, path, mode):
        os.chmod(self.real(path), mode)

    def release(self, path, fh):
        os.close(fh)

    def statfs(self, path):
        st = os.statvfs(self.folder)
        return {key: getattr(st, key) for key in ("f_bsize", "f_frsize", "f_blocks", "f_bfree", "f_bavail",
                                                   "f_files", "f_ffree", "f_namemax")}


def give_up(mountpoint, gate, seconds):
    # Whatever becomes of the journey, the drive answers and goes in the end.
    time.sleep(seconds)
    if os.path.exists(gate):
        os.remove(gate)
    subprocess.run(["umount", "-l", mountpoint])


if __name__ == "__main__":
    folder, mountpoint, gate = sys.argv[1:4]
    threading.Thread(target=give_up, args=(mountpoint, gate, 180), daemon=True).start()
    fusepy.FUSE(SilentDrive(folder, gate), mountpoint, foreground=True, nothreads=False,
                entry_timeout=0, attr_timeout=0, negative_timeout=0)
