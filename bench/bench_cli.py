#!/usr/bin/env python3
"""Whole-process benchmarks of tarnwick-cli, each beside its floor.

1. rename: N empty files get the prefix "x_" in a fresh folder, with
   tarnwick-cli (its undo document written and flushed), the floor (readdir +
   renameat2), and the peers mmv and perl rename; ext4 (the temporary folder)
   and tmpfs (/dev/shm).
2. list: 32,767 files listed by tarnwick-cli and by a C loop doing the same
   statx and getxattr calls (output to /dev/null).
3. preview --case lower --pinyin on 32,767 names of Chinese characters.
Medians of 5 runs after a warm-up.

usage: bench_cli.py BIN_DIR [COUNT ...]"""
import os, random, shutil, statistics, subprocess, sys, tempfile, time

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


def timed(cmd):
    start = time.perf_counter()
    result = subprocess.run(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    if result.returncode != 0:
        raise SystemExit("%s failed: %s" % (cmd, result.stderr.decode()[:300]))
    return time.perf_counter() - start

def median_of(cmd):
    timed(cmd)
    return statistics.median(timed(cmd) for _ in range(5))

work = tempfile.mkdtemp()
try:
    folder = os.path.join(work, "list")
    os.mkdir(folder)
    fill(folder, 32767)
    cli_ms = median_of([cli, "list", folder]) * 1000
    floor_ms = median_of([os.path.join(bin_dir, "list_floor"), folder]) * 1000
    print("\nlist, 32767 files (ext4)")
    print("| tool | median | ratio to floor |")
    print("|---|---|---|")
    print("| C loop (readdir+statx+getxattr) | %.1f ms | 1.00 |" % floor_ms)
    print("| tarnwick-cli list | %.1f ms | %.2f |" % (cli_ms, cli_ms / floor_ms))

    chinese = os.path.join(work, "chinese")
    os.mkdir(chinese)
    rng = random.Random(7)
    # GB2312 level-1 characters: lead bytes B0-D7, trail bytes A1-FE.
    def char():
        while True:
            b = bytes([rng.randint(0xB0, 0xD7), rng.randint(0xA1, 0xFE)])
            try:
                return b.decode("gbk")
            except UnicodeDecodeError:
                pass
    for i in range(32767):
        name = "".join(char() for _ in range(20)) + "%05d.txt" % i
        open(os.path.join(chinese, name), "wb").close()
    preview_ms = median_of([cli, "preview", chinese, "--case", "lower", "--pinyin"]) * 1000
    print("\npreview --case lower --pinyin, 32767 names of 20 Chinese characters (ext4)")
    print("| tool | median |")
    print("|---|---|")
    print("| tarnwick-cli preview | %.1f ms |" % preview_ms)
finally:
    shutil.rmtree(work)
