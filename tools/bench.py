#!/usr/bin/env python3
"""`make bench`: whole-process timings, side by side in one Wine prefix, with
hyperfine (10 rounds of one run of each command, medians and ratios
printed): our silent installation of the standard and of a large payload,
native unzip of the same archive, an NSIS installer of the same files, a
standard installation doing its full work (files, registry values and
shortcuts of /desktop=1 /group=1 /assoc=1 on Windows 10) beside an NSIS
installer that writes what a recorded run of ours wrote (once more with
both and the Wine server on one CPU), and the start-up floors; then the
phases of a standard installation and of one doing the full work, from a
timing build with phase marks. Figures, not a pass/fail test."""
import json
import os
import re
import shutil
import statistics
import subprocess
import sys
import time
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import harness  # noqa: E402
from shell import lnkinfo  # noqa: E402

BENCH = os.path.join(harness.BUILD, "bench")
PRODUCT = os.path.join(harness.BUILD, "product")
LARGE_SETUP = os.path.join(PRODUCT, "bench", "large", "lumidor476_setup.exe")
LARGE_ZIP = os.path.join(PRODUCT, "bench", "large", "lumipg_payload.zip")
STANDARD_ZIP = os.path.join(PRODUCT, "payload", "lumipg_payload.zip")
STUB = os.path.join(PRODUCT, "bench_stub.exe")
NOOP = os.path.join(PRODUCT, "bench_noop.exe")
PHASES_SETUP = os.path.join(PRODUCT, "bench", "phases", "lumidor476_setup.exe")
RUNS = 10
FULL_WORK = ["/desktop=1", "/group=1", "/assoc=1"]
PHASE_MARK = re.compile(r"^(\d+\.\d+):.*lumidor-phase ([^\"\\]+)")


def cpu_ticks():
    """(steal, all) ticks of every CPU so far, from /proc/stat; None elsewhere."""
    try:
        fields = [int(f) for f in open("/proc/stat").readline().split()[1:9]]
    except (OSError, ValueError):
        return None
    return fields[7], sum(fields)


def phase_times(env, drive, options=(), runs=RUNS):
    """Median milliseconds of each phase of a silent installation, from the
    timing build's marks as Wine stamps them; the first line is the rest of
    the process: Wine starting it and ending it."""
    samples = {}
    for run in range(runs):
        shutil.rmtree(os.path.join(drive, "BenchPhases"), ignore_errors=True)
        trace = os.path.join(BENCH, "phases.trace")
        with open(trace, "w") as out:
            started = time.monotonic()
            subprocess.run(["wine", PHASES_SETUP, "/silent", "/folder=C:\\BenchPhases", *options], stdout=out, stderr=out,
                           env=dict(env, WINEDEBUG="+timestamp,+debugstr"), check=True)
            wall = (time.monotonic() - started) * 1000
        marks = [(m.group(2), float(m.group(1)) * 1000) for m in map(PHASE_MARK.match, open(trace)) if m]
        inside = marks[-1][1] - marks[0][1]
        samples.setdefault("Wine: starting and ending the process", []).append(wall - inside)
        for (_, before), (name, at) in zip(marks, marks[1:]):
            samples.setdefault(name, []).append(at - before)
    return {name: sorted(values)[len(values) // 2] for name, values in samples.items()}


def median_rounds(commands, env):
    """Median seconds of each (name, command, prepare): rounds of one run of
    every command, so that a change of the machine's load or of its disk's
    state falls on all commands alike, not on those whose ten runs it
    happened to meet; the first round warms up."""
    results = os.path.join(BENCH, "hyperfine.json")
    arguments = ["hyperfine", "--runs", "1", "--export-json", results, "--style", "basic"]
    for name, command, prepare in commands:
        # The disk is synced first, so that no command pays for writing back
        # what the one before it left.
        arguments += ["--prepare", f"{prepare} && sync", "--command-name", name, command]
    samples = {}
    for round_ in range(RUNS + 1):
        subprocess.run(arguments, env=env, check=True, stdout=subprocess.DEVNULL)
        if round_ > 0:
            for r in json.load(open(results))["results"]:
                samples.setdefault(r["command"], []).extend(r["times"])
    return {name: statistics.median(times) for name, times in samples.items()}


def nsis_installer(name, archive):
    """An NSIS installer (zlib) of exactly the archive's files; its size and
    the header size makensis reports."""
    staging = os.path.join(BENCH, f"staging-{name}")
    shutil.rmtree(staging, ignore_errors=True)
    with zipfile.ZipFile(archive) as z:
        z.extractall(staging)
    script = os.path.join(BENCH, f"peer-{name}.nsi")
    out = os.path.join(BENCH, f"peer-{name}.exe")
    with open(script, "w") as f:
        # The ANSI stub: the payload's names are plain ASCII.
        f.write(f"""SetCompressor zlib
OutFile "{out}"
InstallDir "C:\\Peer"
RequestExecutionLevel admin
SilentInstall silent
Section
  SetOutPath "$INSTDIR"
  File /r "{staging}/*.*"
SectionEnd
""")
    log = subprocess.run(["makensis", "-V4", script], capture_output=True, text=True, check=True).stdout
    header = re.search(r"EXE header size:\s+(\d+)", log)
    return out, int(header.group(1)) if header else None


def nsis_text(text):
    """A text as an NSIS string in double quotes."""
    return '"' + text.replace("$", "$$").replace('"', '$\\"').replace("\n", "$\\n").replace("\r", "$\\r") + '"'


def recorded_peer(prefix):
    """An NSIS installer that does the work a recorded run of ours did: a full
    standard installation on Windows 10 into a fresh copy of the prefix; its
    files, every registry value it wrote or changed and every shortcut it made
    are written again by the script. Returns the program and what it writes."""
    drive = os.path.join(prefix.path, "drive_c")
    before = prefix.snapshot()
    subprocess.run(["wine", harness.SETUP_EXE, "/silent", "/folder=C:\\BenchRecord", *FULL_WORK], env=prefix.env(),
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    after = prefix.snapshot()
    lines = ["SetCompressor zlib", f'OutFile "{os.path.join(BENCH, "peer-full.exe")}"', 'InstallDir "C:\\PeerFull"',
             "RequestExecutionLevel admin", "SilentInstall silent", "Section", '  SetOutPath "$INSTDIR"',
             f'  File /r "{os.path.join(drive, "BenchRecord")}/*.*"']
    values = 0
    for hive, root in (("system", "HKLM"), ("user", "HKCU")):
        for key, written in sorted(after[hive].items()):
            if harness._WINE_NOISE.match(key) and "\\explorer\\fileexts\\" not in key:
                continue
            # The 32-bit program's view: NSIS is redirected to Wow6432Node as we are.
            prefix32 = "software\\wow6432node\\"
            path = "software\\" + key[len(prefix32):] if hive == "system" and key.startswith(prefix32) else key
            for name, (kind, data) in sorted(written.items()):
                if before[hive].get(key, {}).get(name) == (kind, data):
                    continue
                values += 1
                target = f"{root} {nsis_text(path)} {nsis_text(name)}"
                if kind == "REG_DWORD":
                    lines.append(f"  WriteRegDWORD {target} {data}")
                elif kind == "REG_NONE":
                    lines.append(f"  WriteRegNone {target}")
                elif kind == "REG_MULTI_SZ":
                    # A script line holds 8 KB: a longer list goes as its first
                    # 3 KB, one write all the same.
                    raw = (data.rstrip("\0") + "\0\0").encode("utf-16-le")
                    if len(raw) <= 3000:
                        lines.append(f"  WriteRegMultiStr /REGEDIT5 {target} " + raw.hex())
                    else:
                        lines.append(f"  WriteRegBin {target} " + raw[:3000].hex())
                else:
                    lines.append(f"  WriteRegStr {target} {nsis_text(data)}")
    links = 0
    for rel in sorted(set(after["files"]) - set(before["files"])):
        windows = "C:\\" + rel.split("/", 1)[1].replace("/", "\\")
        if not rel.startswith("drive_c/") or rel.startswith("drive_c/BenchRecord/"):
            continue
        if not rel.endswith(".lnk"):  # the settings file in the user's application data
            lines.append(f"  SetOutPath {nsis_text(windows.rsplit(chr(92), 1)[0])}")
            lines.append(f"  File {nsis_text(os.path.join(prefix.path, rel))}")
            continue
        fields = lnkinfo(os.path.join(prefix.path, rel))
        links += 1
        lines.append(f'  CreateDirectory {nsis_text(windows.rsplit(chr(92), 1)[0])}')
        lines.append(f"  CreateShortCut {nsis_text(windows)} {nsis_text(fields.get('target', ''))} "
                     f"{nsis_text(fields.get('arguments', ''))} {nsis_text(fields.get('icon', ''))} "
                     f"{fields.get('index', '0') or '0'}")
    lines += ["SectionEnd", ""]
    script = os.path.join(BENCH, "peer-full.nsi")
    with open(script, "w", encoding="utf-8") as f:
        f.write("\n".join(lines))
    subprocess.run(["makensis", "-V2", "-INPUTCHARSET", "UTF8", script], check=True, stdout=subprocess.DEVNULL)
    files = sum(len(names) for _base, _dirs, names in os.walk(os.path.join(drive, "BenchRecord")))
    return os.path.join(BENCH, "peer-full.exe"), files, values, links


def main():
    os.makedirs(BENCH, exist_ok=True)
    prefix = harness.Prefix("bench")
    # Windows 10, with the keys every Windows has and Wine lacks.
    prefix.set_version("lumidor476_setup.exe", "win10")
    prefix.create_key("system", prefix.machine_path("SOFTWARE\\RegisteredApplications"))
    for key in ("Software\\Classes", "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts"):
        prefix.create_key("user", key)
    recording = harness.Prefix("bench_record")
    recording.set_version("lumidor476_setup.exe", "win10")
    recording.create_key("system", recording.machine_path("SOFTWARE\\RegisteredApplications"))
    peer_full, full_files, full_values, full_links = recorded_peer(recording)
    recording.stop()
    env = prefix.env()
    drive = os.path.join(prefix.path, "drive_c")
    peer_standard, _ = nsis_installer("standard", STANDARD_ZIP)
    peer_large, nsis_header = nsis_installer("large", LARGE_ZIP)
    # Beside the installers' folders: all three write into the same folder of
    # the same disk.
    unzip_target = os.path.join(drive, "UnzipLarge")

    # One persistent server for all, so that no command pays for starting it.
    subprocess.Popen(["wineserver", "-p"], env=env).wait()
    subprocess.run(["wine", NOOP], env=env, check=True)

    def wine(*args):
        return " ".join(["wine"] + [f"'{a}'" for a in args])

    commands = [
        ("wine, a process that does nothing", wine(NOOP), "true"),
        ("stub of unavoidable calls", wine(STUB), "true"),
        ("ours, standard payload", wine(harness.SETUP_EXE, "/silent", "/folder=C:\\BenchStd"),
         f"rm -rf '{drive}/BenchStd'"),
        ("NSIS, standard payload", wine(peer_standard, "/S", "/D=C:\\PeerStd"), f"rm -rf '{drive}/PeerStd'"),
        ("ours, standard payload, full work", wine(harness.SETUP_EXE, "/silent", "/folder=C:\\BenchFull", *FULL_WORK),
         f"rm -rf '{drive}/BenchFull'"),
        ("NSIS, the same work", wine(peer_full, "/S", "/D=C:\\PeerFull"), f"rm -rf '{drive}/PeerFull'"),
        ("ours, large payload", wine(LARGE_SETUP, "/silent", "/folder=C:\\BenchLarge"),
         f"rm -rf '{drive}/BenchLarge'"),
        ("NSIS, large payload", wine(peer_large, "/S", "/D=C:\\PeerLarge"), f"rm -rf '{drive}/PeerLarge'"),
        ("native unzip -o, large archive", f"unzip -o -q '{LARGE_ZIP}' -d '{unzip_target}'",
         f"rm -rf '{unzip_target}'"),
    ]
    ticks_before = cpu_ticks()
    medians = median_rounds(commands, env)
    ticks_after = cpu_ticks()
    phases = phase_times(env, drive)
    full_phases = phase_times(env, drive, FULL_WORK)
    subprocess.run(["wineserver", "-k"], env=env)

    # The full work once more with the server and both programs on one CPU:
    # a request to the server then costs a switch of process, not the waking
    # of the other CPU, which on a virtual machine takes as long as a small
    # request itself and makes the figures above swing with the host.
    one_cpu = ["taskset", "-c", "0"]
    subprocess.Popen(one_cpu + ["wineserver", "-p"], env=env).wait()
    subprocess.run(one_cpu + ["wine", NOOP], env=env, check=True)
    pinned = median_rounds([(name, " ".join(one_cpu + [command]), prepare) for name, command, prepare in commands
                            if name in ("ours, standard payload, full work", "NSIS, the same work")], env)
    subprocess.run(["wineserver", "-k"], env=env)

    print(f"{'command':40} {'median':>10}")
    for name, _, _ in commands:
        print(f"{name:40} {medians[name]:9.3f}s")
    ours_large, ours_std = medians["ours, large payload"], medians["ours, standard payload"]
    print()
    ours_full, floor = medians["ours, standard payload, full work"], medians["wine, a process that does nothing"]
    print(f"large payload: ours / NSIS          {ours_large / medians['NSIS, large payload']:.2f}  (target <= 0.80)")
    print(f"large payload: ours / native unzip  {ours_large / medians['native unzip -o, large archive']:.2f}  "
          f"(target <= 1.20)")
    print(f"standard payload: ours / stub       {ours_std / medians['stub of unavoidable calls']:.2f}")
    print(f"full work ({full_files} files, {full_values} registry values, {full_links} shortcuts): ours / NSIS  "
          f"{ours_full / medians['NSIS, the same work']:.2f}  (target <= 0.75); above the start-up floor  "
          f"{(ours_full - floor) / (medians['NSIS, the same work'] - floor):.2f}")
    pinned_ours, pinned_peer = pinned["ours, standard payload, full work"], pinned["NSIS, the same work"]
    print(f"the same on one CPU: ours {pinned_ours:.3f}s, NSIS {pinned_peer:.3f}s  ours / NSIS  "
          f"{pinned_ours / pinned_peer:.2f}")
    if ticks_before and ticks_after and ticks_after[1] > ticks_before[1]:
        # A virtual machine's host may take CPU time away while the rounds
        # run; every figure above swings with it.
        steal = (ticks_after[0] - ticks_before[0]) / (ticks_after[1] - ticks_before[1])
        print(f"CPU time taken by the host during the rounds (steal)  {steal * 100:.1f} %")
    overhead = os.path.getsize(harness.SETUP_EXE) - os.path.getsize(STANDARD_ZIP)
    print(f"overhead: setup program minus its archive  {overhead / 1024:.1f} KB  (target <= 100 KB); "
          f"NSIS header {nsis_header / 1024 if nsis_header else float('nan'):.1f} KB")
    large_overhead = os.path.getsize(LARGE_SETUP) - os.path.getsize(LARGE_ZIP)
    print(f"          with the large archive               {large_overhead / 1024:.1f} KB  "
          f"(the archive moved to a page boundary)")
    print()
    subprocess.run([sys.executable, os.path.join(harness.TOP, "tools", "size_table.py"), harness.SETUP_EXE,
                    os.path.join(harness.BUILD, "product", "lumidor476_setup.map"), STANDARD_ZIP], check=True)
    uninstaller = os.path.join(harness.BUILD, "product", "uninstall", "lu_uninstall.exe")
    print(f"  {'lu_uninstall.exe':38}{os.path.getsize(uninstaller) / 1024:67.1f}")
    print()
    print(f"phases (timing build, medians, ms)            {'standard':>10} {'full work':>10}")
    for name in full_phases:
        standard = f"{phases[name]:10.1f}" if name in phases else f"{'-':>10}"
        print(f"  {name:44} {standard} {full_phases[name]:10.1f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
