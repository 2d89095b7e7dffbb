#!/usr/bin/python3
# A drive that stops answering, as a sleeping NAS or a dropped VPN does: a
# folder seen through FUSE, uncached, where every call but a look at the
# root waits while the gate is closed. Wine looks at every drive's root
# whenever a process names a file, which Windows does not.
# Usage: silent_drive.py FOLDER MOUNTPOINT GATE
import os
import subprocess
import sys
import threading
import time

import fusepy


class SilentDrive(fusepy.Operations):
    def __init__(self, folder, gate):
        self.folder, self.gate = folder, gate

    def closed(self):
        # The gate holds how many ms after it was written it opens by itself:
        # Wine's server may wait on the drive, and then no program of the
        # prefix could open it.
        try:
            with open(self.gate) as gate:
                if time.time() < os.path.getmtime(self.gate) + int(gate.read() or "0") / 1000:
                    return True
            os.remove(self.gate)
        except (OSError, ValueError):
            pass
        return False

    def __call__(self, operation, *arguments):
        deadline = time.monotonic() + 60
        while self.closed() and time.monotonic() < deadline and (operation, arguments[0]) != ("getattr", "/"):
            time.sleep(0.02)
        return super().__call__(operation, *arguments)

    def real(self, path):
        return os.path.join(self.folder, path.lstrip("/"))

    def getattr(self, path, fh=None):
        st = os.lstat(self.real(path))
        return {key: getattr(st, key) for key in ("st_mode", "st_size", "st_nlink", "st_atime", "st_mtime", "st_ctime")}

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

    def rename(self, old, new):
        os.rename(self.real(old), self.real(new))

    def release(self, path, fh):
        os.close(fh)


def give_up(mountpoint, gate):
    # Whatever becomes of the journey, the drive answers and goes in the end.
    time.sleep(180)
    subprocess.run(["rm", "-f", gate])
    subprocess.run(["umount", "-l", mountpoint])


if __name__ == "__main__":
    folder, mountpoint, gate = sys.argv[1:4]
    threading.Thread(target=give_up, args=(mountpoint, gate), daemon=True).start()
    fusepy.FUSE(SilentDrive(folder, gate), mountpoint, foreground=True, entry_timeout=0, attr_timeout=0,
                negative_timeout=0)
