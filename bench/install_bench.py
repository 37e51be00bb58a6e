#!/usr/bin/env python3
"""Installation engine against NSIS, packer against makensis, stub size against NSIS's stub.

    install_bench.py --nvpack NVPACK --bench-exe install_bench.exe --stub Setup-stub.exe
                     --work DIR [--runs N] [--large-mb 256]

Runs under a private Wine environment (tests/e2e/winenv.py). Product files of the eight
shipped sizes (about 31 % after zlib) and a set scaled to --large-mb are generated; each is
packed with nvpack behind install_bench.exe and with makensis (zlib, amd64-unicode stub)
into an installer that places the same files, INI value, shortcuts and registry values.
Every figure is the median of --runs runs; ratios are taken within this run.

Then, for each set, the phases inside the installation as install_bench.exe measures them
(wall time, file I/O, message handling and handled pumps per phase, the longest stretch
without a handled pump), and the performance goals checked against this run's figures.
"""

import argparse
import json
import os
import random
import shutil
import statistics
import struct
import subprocess
import sys
import time
import zlib
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests" / "e2e"))
import winenv  # noqa: E402

SHIPPED = [  # stream order, data size
    ("Sorvelin.exe", 885248),
    ("Norvis.exe", 3495424),
    ("Norvis.hlp", 348168),
    ("Norvis_uk.hlp", 342378),
    ("brannok.wav", 3272),
    ("NV.OBJ", 55),
    ("Deutsch.lng", 0),
    ("English.lng", 0),
]

WORDS = [bytes(w, "ascii") for w in (
    "install setup norvista folder window message value record shortcut update program "
    "file help text language english deutsch version system registry path data block "
    "stream entry checksum piece buffer handle error page button label picture").split()]


def pool(seed, size, random_share):
    """Bytes that zlib -9 shrinks to roughly a third: word salad mixed with random runs."""
    rng = random.Random(seed)
    out = bytearray()
    while len(out) < size:
        if rng.random() < random_share:
            out += rng.randbytes(512)
        else:
            out += b" ".join(rng.choice(WORDS) for _ in range(80)) + b"\n"
    return bytes(out[:size])


def make_files(folder, scale, seed):
    folder.mkdir(parents=True, exist_ok=True)
    base = pool(seed, 1 << 20, 0.22)
    for index, (name, size) in enumerate(SHIPPED):
        size = int(size * scale)
        with open(folder / name, "wb") as out:
            offset = index * 4099
            left = size
            while left > 0:
                chunk = base[offset % len(base):][:left]
                out.write(chunk)
                left -= len(chunk)
                offset += len(chunk) + 7919
    return [folder / name for name, _ in SHIPPED]


NSI = r"""Unicode true
Target amd64-unicode
SetCompressor zlib
Name "Norvista"
OutFile "{out}"
RequestExecutionLevel admin
SilentInstall silent
InstallDir "C:\nsisbench"
Section
  SetOutPath "$INSTDIR"
{files}
  SetOutPath "$INSTDIR\Updates"
  File "{src}\Sorvelin.exe"
  CopyFiles /SILENT "$EXEPATH" "$INSTDIR\Setup.exe"
  WriteINIStr "$INSTDIR\norvis.ini" "GENERAL" "LANGUAGE" "English"
  SetShellVarContext all
  CreateShortcut "$DESKTOP\NorvistaNsis.lnk" "$INSTDIR\Norvis.exe"
  SetShellVarContext current
  CreateShortcut "$QUICKLAUNCH\NorvistaNsis.lnk" "$INSTDIR\Norvis.exe"
  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\NorvistaNsis"
  CreateShortcut "$SMPROGRAMS\NorvistaNsis\Norvista.lnk" "$INSTDIR\Norvis.exe"
  CreateShortcut "$SMPROGRAMS\NorvistaNsis\Uninstall.lnk" "$INSTDIR\Setup.exe"
  WriteRegStr HKLM "Software\Halvorn\NorvistaNsis" "InstallPath" "$INSTDIR\"
  WriteRegStr HKLM "Software\Halvorn\NorvistaNsis" "DesktopLink" "$DESKTOP\NorvistaNsis.lnk"
  WriteRegStr HKLM "Software\Halvorn\NorvistaNsis" "QuicklaunchLink" "$QUICKLAUNCH\NorvistaNsis.lnk"
  WriteRegStr HKLM "Software\Halvorn\NorvistaNsis" "StartmenuLink" "$SMPROGRAMS\NorvistaNsis\Norvista.lnk"
  WriteRegStr HKLM "Software\Halvorn\NorvistaNsis" "SetupLink" "$SMPROGRAMS\NorvistaNsis\Uninstall.lnk"
SectionEnd
"""


def write_nsi(path, out, src):
    files = "\n".join(f'  File "{src}\\{name}"' for name, _ in SHIPPED if name != "Sorvelin.exe")
    path.write_text(NSI.format(out=out, src=src, files=files))


def timed(command, env=None, cwd=None):
    """Wall seconds and peak resident kilobytes of one command (GNU time), and its output.
    Output goes through files, not pipes: Wine's helper processes outlive the program and
    would hold a pipe open."""
    scratch = Path(cwd or ".")
    out_path, err_path, time_path = (scratch / ".out", scratch / ".err", scratch / ".time")
    with open(out_path, "w") as out, open(err_path, "w") as err:
        code = subprocess.run(["/usr/bin/time", "-o", str(time_path), "-f", "%e %M", *command],
                              env=env, cwd=cwd, stdout=out, stderr=err,
                              stdin=subprocess.DEVNULL, timeout=600).returncode
    if code != 0:
        raise RuntimeError(f"{command[0]} failed ({code}): {err_path.read_text()[-800:]}")
    wall, peak = time_path.read_text().strip().splitlines()[-1].split()
    return float(wall), int(peak), out_path.read_text()


def wine_path(path):
    return "Z:" + str(path).replace("/", "\\")


def median(values):
    return statistics.median(values)


PHASES = [  # install_bench.exe's phase keys, in order, and their labels
    ("start", "locate payload, temp folder"),
    ("raw", "raw copy (package.dlz)"),
    ("inflate", "inflate (package.dld)"),
    ("split", "split, checksum, clean-up"),
    ("folder", "installation folder"),
    ("setupcopy", "setup copy"),
    ("copies", "copies into the folder"),
    ("tempremoval", "extracted files removed"),
    ("ini", "INI"),
    ("shortcuts", "shortcuts"),
    ("record", "record"),
]


def phase_medians(runs):
    """Median of every numeric field of install_bench.exe's output over the runs."""
    keys = [key for key in runs[0] if key not in ("page", "max_gap_phase", "main_at", "end_at")]
    figures = {key: median([float(run[key]) for run in runs]) for key in keys}
    gaps = sorted(runs, key=lambda run: float(run["max_gap_ms"]))
    figures["max_gap_phase"] = gaps[len(gaps) // 2]["max_gap_phase"]
    return figures


def print_breakdown(breakdowns):
    """The phases inside the installation, for each set: wall, file I/O, message handling."""
    print()
    print("Phases inside the installation (install_bench.exe: InstallProduct on the Win32 host;")
    print("medians; io = in file reads, writes, copies; msgs = in ProcessMessages, handled")
    print("pumps; gap = longest stretch without a handled pump that ended in the phase)")
    header = f"{'phase':30}"
    for label, _ in breakdowns:
        header += f" | {label:^42}"
    print(header)
    sub = f"{'':30}"
    for _ in breakdowns:
        sub += f" | {'wall s':>8} {'io s':>8} {'msgs s':>8} {'pumps':>6} {'gap ms':>8}"
    print(sub)
    for key, name in PHASES + [(None, "total (InstallProduct)")]:
        line = f"{name:30}"
        for _, figures in breakdowns:
            if key is None:
                wall = figures["seconds"]
                io = sum(figures[f"{k}.io"] for k, _ in PHASES)
                msgs, pumps, gap = figures["pump_s"], figures["pumps"], figures["max_gap_ms"]
            else:
                wall, io = figures[f"{key}.wall"], figures[f"{key}.io"]
                msgs, pumps = figures[f"{key}.pump"], figures[f"{key}.pumps"]
                gap = figures[f"{key}.gap"]
            line += f" | {wall:8.3f} {io:8.3f} {msgs:8.3f} {pumps:6.0f} {gap:8.1f}"
        print(line)
    print("Around it, in the same process (seconds):")
    for key, name in (("launch", "Wine starts the process"), ("startup", "main to the click"),
                      ("after", "InstallProduct to main's end"), ("exit", "process exit")):
        line = f"{name:30}"
        for _, figures in breakdowns:
            line += f" | {figures[key]:8.3f} {'':>33}"
        print(line)


def print_goals(rows, breakdowns, private_kb, install_ratio, stub):
    """The performance goals, from this run's figures."""
    goals = []
    for label, ratio in install_ratio:
        goals.append((f"install (whole process) <= 1.0x NSIS, {label}", f"{ratio:.2f}",
                      ratio <= 1.0))
    if len(private_kb) >= 2:
        growth = private_kb[-1] - private_kb[0]
        goals.append(("own peak private bytes grow <= 2048 kB", f"{growth:+.0f} kB",
                      growth <= 2048))
    for label, figures in breakdowns:
        goals.append((f"longest stretch without messages <= 50 ms, {label}",
                      f"{figures['max_gap_ms']:.1f} ms", figures["max_gap_ms"] <= 50))
        others = max(figures[f"{key}.gap"] for key, _ in PHASES if key != "shortcuts")
        goals.append((f"  the same outside the shortcuts phase, {label}", f"{others:.1f} ms",
                      others <= 50))
        # Not a goal: what bounds the gap in the shortcuts phase. One shortcut is one call of
        # the shell (create, set, IPersistFile::Save); under Wine the save starts
        # winemenubuilder.exe for the link and waits for it.
        save = figures["shell_save_max_ms"]
        goals.append((f"  longest single shortcut save by the shell, {label}", f"{save:.1f} ms",
                      None))
    for name, ours, peer, _ in rows:
        if name.startswith("Setup-stub.exe"):
            goals.append(("Setup-stub.exe <= 2.5x NSIS's empty stub", f"{ours / peer:.2f}",
                          ours / peer <= 2.5))
        if name.startswith("nvpack build"):
            goals.append((f"{name} <= 0.5", f"{ours / peer:.2f}", ours / peer <= 0.5))
    print()
    print("Goals, this run")
    for name, value, met in goals:
        verdict = "(bound)" if met is None else "met" if met else "MISSED"
        print(f"{name:58} {value:>14}  {verdict}")
    for name, ours, peer, _ in rows:
        if name.startswith("Setup-stub.exe") and ours / peer > 2.5:
            print_stub_sections(stub, ours - int(2.5 * peer))


def pe_sections(path):
    """(name, bytes in the file) of every section of a PE image."""
    data = Path(path).read_bytes()
    header = struct.unpack_from("<I", data, 0x3C)[0]
    count = struct.unpack_from("<H", data, header + 6)[0]
    optional_size = struct.unpack_from("<H", data, header + 20)[0]
    table = header + 24 + optional_size
    sections = []
    for i in range(count):
        name, _, _, raw_size = struct.unpack_from("<8sIII", data, table + 40 * i)
        sections.append((name.rstrip(b"\0").decode(), raw_size))
    return sections


def print_stub_sections(stub, excess):
    """What the stub's bytes are, when it is larger than the goal allows."""
    print(f"  Setup-stub.exe by section ({excess} bytes over the goal):")
    roles = {".text": "code", ".rdata": "constants, strings, layout", ".pdata": "unwind index",
             ".xdata": "unwind tables (exceptions)", ".rsrc": "icon, version, manifest, mark",
             ".idata": "imports", ".data": "initialised data", ".reloc": "relocations"}
    for name, size in pe_sections(stub):
        if size:
            print(f"    {name:8} {size:8}  {roles.get(name, '')}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--nvpack", required=True)
    parser.add_argument("--bench-exe", required=True)
    parser.add_argument("--stub", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--large-mb", type=int, default=256)
    args = parser.parse_args()
    args.nvpack = str(Path(args.nvpack).resolve())
    args.bench_exe = str(Path(args.bench_exe).resolve())

    work = Path(args.work).resolve()
    shutil.rmtree(work, ignore_errors=True)
    work.mkdir(parents=True)
    state = work / "wine"
    rows = []
    breakdowns, private_kb, install_ratio = [], [], []
    try:
        env_state = winenv.start(state)
        env = winenv.wine_environment(env_state["prefix"], env_state["display"])
        shipped_total = sum(size for _, size in SHIPPED)
        sets = [("shipped sizes", 1.0), (f"{args.large_mb} MB set",
                                         args.large_mb * (1 << 20) / shipped_total)]
        for label, scale in sets:
            src = work / f"files-{int(scale)}"
            inputs = make_files(src, scale, seed=int(scale))
            raw = sum(p.stat().st_size for p in inputs)
            ours = work / f"ours-{int(scale)}.exe"
            nsis = work / f"nsis-{int(scale)}.exe"
            nsi = work / f"bench-{int(scale)}.nsi"
            write_nsi(nsi, nsis, src)
            pack_times, nsis_times = [], []
            for _ in range(args.runs):
                wall, _, _ = timed([args.nvpack, "build", "--any-stub", "--stub", args.bench_exe,
                                    "--out", str(ours), *map(str, inputs)], cwd=work)
                pack_times.append(wall)
                wall, _, _ = timed(["makensis", "-V1", str(nsi)], cwd=work)
                nsis_times.append(wall)
            compressed = ours.stat().st_size - Path(args.bench_exe).stat().st_size
            rows.append((f"nvpack build vs makensis, {label}", median(pack_times),
                         median(nsis_times), f"payload {compressed / raw:.0%} of {raw >> 20} MB"))

            drive_c = Path(env_state["prefix"]) / "drive_c"
            # One untimed run of each first: the fresh prefix finishes setting itself up on
            # the first program it starts, which would otherwise be charged to ours.
            warm = work / f"warm-{int(scale)}"
            warm.mkdir()
            timed(["wine", str(ours), "C:\\benchours"], env=env, cwd=warm)
            timed(["wine", str(nsis), "/S", "/D=C:\\nsisbench"], env=env, cwd=warm)
            shutil.rmtree(warm, ignore_errors=True)
            ours_wall, ours_inner, ours_rss, ours_ws, nsis_wall, nsis_rss = [], [], [], [], [], []
            inner_fields = []
            for run in range(args.runs):
                run_dir = work / f"run-{int(scale)}-{run}"
                run_dir.mkdir()
                target = drive_c / "benchours"
                shutil.rmtree(target, ignore_errors=True)
                launched = time.time()
                wall, rss, out = timed(["wine", str(ours), "C:\\benchours"], env=env,
                                       cwd=run_dir)
                exited = time.time()
                fields = dict(item.split("=") for item in out.split())
                fields["launch"] = float(fields["main_at"]) - launched
                fields["exit"] = exited - float(fields["end_at"])
                fields["after"] = (float(fields["end_at"]) - float(fields["main_at"]) -
                                   float(fields["startup"]) - float(fields["seconds"]))
                if fields.get("page") != "5":
                    raise RuntimeError(f"installation did not finish: {out}")
                ours_wall.append(wall)
                ours_inner.append(float(fields["seconds"]))
                ours_rss.append(rss)
                ours_ws.append(int(fields["peak_pagefile"]) // 1024)
                inner_fields.append(fields)
                shutil.rmtree(drive_c / "nsisbench", ignore_errors=True)
                wall, rss, _ = timed(["wine", str(nsis), "/S", "/D=C:\\nsisbench"], env=env,
                                     cwd=run_dir)
                if not (drive_c / "nsisbench" / "Updates" / "Sorvelin.exe").exists():
                    raise RuntimeError("the NSIS installer did not install")
                nsis_wall.append(wall)
                nsis_rss.append(rss)
                shutil.rmtree(run_dir, ignore_errors=True)
            rows.append((f"install (whole process) vs NSIS /S, {label}", median(ours_wall),
                         median(nsis_wall),
                         f"InstallProduct alone {median(ours_inner):.3f} s"))
            rows.append((f"peak RSS kB (whole process) vs NSIS, {label}", median(ours_rss),
                         median(nsis_rss),
                         f"own peak private bytes {median(ours_ws)} kB"))
            breakdowns.append((label, phase_medians(inner_fields)))
            private_kb.append(median(ours_ws))
            install_ratio.append((label, median(ours_wall) / median(nsis_wall)))
            shutil.rmtree(drive_c / "benchours", ignore_errors=True)
            shutil.rmtree(drive_c / "nsisbench", ignore_errors=True)
            for path in (ours, nsis, src):
                if path.is_dir():
                    shutil.rmtree(path)
                else:
                    path.unlink()
        nsis_stub = Path("/usr/share/nsis/Stubs/zlib-amd64-unicode")
        rows.append(("Setup-stub.exe bytes vs NSIS empty amd64 stub",
                     Path(args.stub).stat().st_size, nsis_stub.stat().st_size,
                     "goal: ratio <= 2.5"))
    finally:
        winenv.stop(state)
    print(f"{'measure':58} {'ours':>12} {'peer':>12} {'ratio':>7}  note")
    for name, ours_value, peer_value, note in rows:
        ratio = ours_value / peer_value if peer_value else float("nan")
        print(f"{name:58} {ours_value:12.3f} {peer_value:12.3f} {ratio:7.2f}  {note}")
    print_breakdown(breakdowns)
    print_goals(rows, breakdowns, private_kb, install_ratio, args.stub)
    print(json.dumps({"rows": rows, "phases": breakdowns}), file=open(work / "results.json", "w"))


if __name__ == "__main__":
    main()
