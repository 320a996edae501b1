#!/usr/bin/env python3
"""Renames N empty files (prefix "x_") in a fresh folder, whole process, with
tarnwick-cli (its undo document flushed), the floor (readdir + renameat2) and
the peers mmv and perl rename. Median of 5 runs after a warm-up, per folder
kind (ext4 under the temporary folder, tmpfs in /dev/shm).

usage: bench_rename.py BIN_DIR [COUNT ...]"""
import os, shutil, statistics, subprocess, sys, tempfile, time

bin_dir = sys.argv[1]
counts = [int(c) for c in sys.argv[2:]] or [10000, 32767]
cli = os.path.join(bin_dir, "tarnwick-cli")
floor = os.path.join(bin_dir, "rename_floor")

def tools(folder, undo):
    t = {
        "floor (readdir+renameat2)": [floor, folder, "x_"],
        "tarnwick-cli rename": [cli, "rename", folder, "--affix", "--prefix", "x_", "--yes", "--undo-dir", undo],
    }
    if shutil.which("mmv"):
        t["mmv"] = ["sh", "-c", 'cd "$1" && mmv -r "*" "x_#1"', "sh", folder]
    if shutil.which("rename") or shutil.which("file-rename"):
        prog = shutil.which("file-rename") or shutil.which("rename")
        t["perl rename"] = ["sh", "-c", 'cd "$1" && "$2" "s/^/x_/" -- *', "sh", folder, prog]
    return t

def fill(folder, count):
    for i in range(count):
        open(os.path.join(folder, "f%05d.txt" % i), "wb").close()

def run_once(cmd_for, count, parent):
    work = tempfile.mkdtemp(dir=parent)
    folder = os.path.join(work, "files")
    undo = os.path.join(work, "undo")
    os.mkdir(folder)
    os.mkdir(undo)
    fill(folder, count)
    subprocess.run(["sync"])
    cmd = cmd_for(folder, undo)
    start = time.perf_counter()
    result = subprocess.run(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    elapsed = time.perf_counter() - start
    renamed = sum(1 for n in os.listdir(folder) if n.startswith("x_"))
    shutil.rmtree(work)
    if renamed != count:
        raise SystemExit("%s renamed %d of %d: %s" % (cmd[0], renamed, count, result.stderr.decode()[:300]))
    return elapsed

for parent in [tempfile.gettempdir(), "/dev/shm"]:
    for count in counts:
        names = list(tools("F", "U").keys())
        medians = {}
        for name in names:
            cmd_for = lambda f, u, name=name: tools(f, u)[name]
            run_once(cmd_for, count, parent)  # warm-up
            medians[name] = statistics.median(run_once(cmd_for, count, parent) for _ in range(5))
        base = medians["floor (readdir+renameat2)"]
        kind = "tmpfs" if parent == "/dev/shm" else "ext4"
        print("\n%s, %d files" % (kind, count))
        print("| tool | median | ratio to floor |")
        print("|---|---|---|")
        for name in names:
            print("| %s | %.1f ms | %.2f |" % (name, medians[name] * 1000, medians[name] / base))
