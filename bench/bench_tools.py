#!/usr/bin/env python3
"""Whole-process benchmarks of the blank-line removal and the folder tool.

1. blank-lines: a GBK text file of SIZE_MB megabytes (default 200) whose lines
   are one third blank (empty or spaces, CR LF or LF) is cleaned by
   `tarnwick-cli blank-lines FILE --no-backup` and by
   `sed -i '/^ *\\r\\?$/d' FILE`, each on its own fresh copy; wall time and peak
   resident memory of each process (after a warm-up, median of RUNS).
2. folders run --folder-first --copy: 1,000 sub-folders of 20 files of 4 KB are
   copied into the "_" sibling by `tarnwick-cli folders run` and by `cp -r`,
   each followed by `sync`; median of RUNS, each in a fresh tree.

usage: bench_tools.py BIN_DIR [SIZE_MB] [RUNS]"""
import os, random, resource, shutil, statistics, subprocess, sys, tempfile, time

bin_dir = sys.argv[1]
size_mb = int(sys.argv[2]) if len(sys.argv) > 2 else 200
runs = int(sys.argv[3]) if len(sys.argv) > 3 else 3
cli = os.path.join(bin_dir, "tarnwick-cli")


def timed(cmd):
    """Wall time and peak resident memory (MB) of one child process."""
    start = time.perf_counter()
    proc = subprocess.Popen(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(proc.pid, 0)
    elapsed = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        raise SystemExit("%s failed: %s" % (cmd, proc.stderr.read().decode()[:300]))
    return elapsed, usage.ru_maxrss / 1024.0


def make_text(path, size):
    rnd = random.Random(7)
    words = [w.encode("gbk") for w in ["中文", "文本", "空行", "删除", "测试", "数据", "abc", "Tarnwick", "12345"]]
    blanks = [b"\r\n", b"   \r\n", b"\n", b" \n"]
    with open(path, "wb") as f:
        written = 0
        chunk = []
        while written < size:
            if rnd.random() < 1 / 3:
                line = rnd.choice(blanks)
            else:
                line = b" ".join(rnd.choice(words) for _ in range(rnd.randint(3, 12))) + b"\r\n"
            chunk.append(line)
            written += len(line)
            if len(chunk) >= 10000:
                f.write(b"".join(chunk))
                chunk = []
        f.write(b"".join(chunk))


def blank_lines():
    work = tempfile.mkdtemp()
    source = os.path.join(work, "source.txt")
    make_text(source, size_mb << 20)
    tools = {
        "tarnwick-cli blank-lines --no-backup": lambda f: [cli, "blank-lines", f, "--no-backup"],
        "sed -i '/^ *\\r\\?$/d'": lambda f: ["sed", "-i", r"/^ *\r\?$/d", f],
    }
    results = {name: [] for name in tools}
    outputs = {}
    for round in range(runs + 1):
        for name, cmd in tools.items():
            target = os.path.join(work, "t.txt")
            shutil.copyfile(source, target)
            subprocess.run(["sync"])
            t, rss = timed(cmd(target))
            if round > 0:
                results[name].append((t, rss))
            outputs[name] = os.path.getsize(target)
            os.remove(target)
    shutil.rmtree(work)
    print("blank-lines, %d MB GBK file, a third of its lines blank (median of %d)" % (size_mb, runs))
    print("| tool | median | peak memory | output bytes |")
    print("|---|---|---|---|")
    for name, values in results.items():
        print("| %s | %.2f s | %.1f MB | %d |" % (name, statistics.median(v[0] for v in values),
                                                max(v[1] for v in values), outputs[name]))


def folder_copy():
    results = {"tarnwick-cli folders run --folder-first --copy": [], "cp -r": []}
    data = os.urandom(4096)
    for round in range(runs + 1):
        for name in results:
            work = tempfile.mkdtemp()
            pick = os.path.join(work, "pick")
            for d in range(1000):
                folder = os.path.join(pick, "d%04d" % d)
                os.makedirs(folder)
                for i in range(20):
                    with open(os.path.join(folder, "f%02d.bin" % i), "wb") as f:
                        f.write(data)
            subprocess.run(["sync"])
            if name == "cp -r":
                cmd = ["sh", "-c", 'cp -r "$1" "$2" && sync', "sh", pick, os.path.join(work, "_pick")]
            else:
                cmd = ["sh", "-c", '"$1" folders run "$2" --folder-first --copy --yes >/dev/null && sync', "sh",
                       cli, pick]
            t, _ = timed(cmd)
            copied = sum(len(files) for _, _, files in os.walk(os.path.join(work, "_pick")))
            shutil.rmtree(work)
            if copied != 20000:
                raise SystemExit("%s copied %d files" % (name, copied))
            if round > 0:
                results[name].append(t)
    print("folders run --copy, 1,000 sub-folders x 20 files of 4 KB, then sync (median of %d)" % runs)
    print("| tool | median | ratio to cp -r |")
    print("|---|---|---|")
    base = statistics.median(results["cp -r"])
    for name, values in results.items():
        m = statistics.median(values)
        print("| %s | %.2f s | %.2f |" % (name, m, m / base))


blank_lines()
print()
folder_copy()
