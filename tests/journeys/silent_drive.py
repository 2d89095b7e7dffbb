#!/usr/bin/python3
# A drive that stops answering, as a sleeping NAS or a dropped VPN does: a
# read-only view of a folder, mounted with FUSE, in which every call waits
# while the gate file exists. Nothing is cached, so every question reaches it.
# Usage: silent_drive.py FOLDER MOUNTPOINT GATE
import errno
import os
import sys
import time

import fusepy


class SilentDrive(fusepy.Operations):
    def __init__(self, folder, gate):
        self.folder = folder
        self.gate = gate

    def __call__(self, operation, *arguments):
        # Never longer than a minute: the journey always takes the gate away.
        deadline = time.monotonic() + 60
        while os.path.exists(self.gate) and time.monotonic() < deadline:
            time.sleep(0.02)
        return super().__call__(operation, *arguments)

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
        if flags & (os.O_WRONLY | os.O_RDWR):
            raise fusepy.FuseOSError(errno.EROFS)
        return os.open(self.real(path), flags)

    def read(self, path, size, offset, fh):
        return os.pread(fh, size, offset)

    def release(self, path, fh):
        os.close(fh)

    def statfs(self, path):
        st = os.statvfs(self.folder)
        return {key: getattr(st, key) for key in ("f_bsize", "f_frsize", "f_blocks", "f_bfree", "f_bavail",
                                                   "f_files", "f_ffree", "f_namemax")}


if __name__ == "__main__":
    folder, mountpoint, gate = sys.argv[1:4]
    fusepy.FUSE(SilentDrive(folder, gate), mountpoint, foreground=True, ro=True, nothreads=False,
                entry_timeout=0, attr_timeout=0, negative_timeout=0)
