"""End-to-end test bed: runs the real setup program in isolated Wine prefixes
under Xvfb and reads back what it wrote (registry, files, shortcuts, log)."""
import contextlib
import os
import pwd
import re
import shutil
import subprocess
import tempfile
import threading
import time

TOP = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
BUILD = os.path.join(TOP, "build")
# Another build can be put under the same tests (an older one, to see a test fail).
SETUP_EXE = os.environ.get("LUMIDOR_SETUP_UNDER_TEST") or os.path.join(TOP, "dist", "lumidor476_setup.exe")
PAYLOAD = os.path.join(BUILD, "product", "payload")
PROBE_EXE = os.path.join(BUILD, "unit", "tests", "unit", "probe.exe")
TEMPLATES = os.path.join(BUILD, "wine", "templates")
SCRATCH = os.path.join(BUILD, "wine", "e2e")

BASE_ENV = {
    "WINEDEBUG": "-all",
    "WINEDLLOVERRIDES": "winemenubuilder.exe=d;winebrowser.exe=d",
    "LANG": "C.UTF-8",
}


def sh(args, **kwargs):
    return subprocess.run(args, check=True, **kwargs)


class Display:
    """One Xvfb screen for the whole run: without a display no window can be
    created, and a test of the running viewer would pass for the wrong reason."""

    def __init__(self):
        self.process = None
        self.name = None

    def start(self):
        for number in range(90, 140):
            if os.path.exists(f"/tmp/.X{number}-lock"):
                continue
            process = subprocess.Popen(["Xvfb", f":{number}", "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            for _ in range(50):
                if os.path.exists(f"/tmp/.X11-unix/X{number}"):
                    self.process, self.name = process, f":{number}"
                    return self.name
                if process.poll() is not None:
                    break
                time.sleep(0.1)
            process.kill()
        raise RuntimeError("no Xvfb display could be started")

    def stop(self):
        if self.process:
            self.process.terminate()
            self.process.wait()


DISPLAY = Display()


_template_lock = threading.Lock()


def _template(arch):
    """A booted prefix per architecture, made once and copied per test."""
    with _template_lock:
        return _make_template(arch)


def _make_template(arch):
    path = os.path.join(TEMPLATES, arch)
    if os.path.exists(os.path.join(path, ".ready")):
        return path
    shutil.rmtree(path, ignore_errors=True)
    os.makedirs(os.path.join(path, "home"))
    env = dict(os.environ, **BASE_ENV, WINEPREFIX=path, WINEARCH=arch, HOME=os.path.join(path, "home"))
    env.pop("DISPLAY", None)
    with open(path + ".wineboot.log", "w") as log:
        sh(["wineboot", "-i"], env=env, stdout=log, stderr=log)
        sh(["wineserver", "-w"], env=env, stdout=log, stderr=log)
    # User folders as real folders inside the prefix, never links to HOME.
    users = os.path.join(path, "drive_c", "users")
    for user in os.listdir(users):
        for name in os.listdir(os.path.join(users, user)):
            link = os.path.join(users, user, name)
            if os.path.islink(link):
                os.unlink(link)
                os.makedirs(link)
    open(os.path.join(path, ".ready"), "w").close()
    return path


# Files Wine rewrites in place: a hard-linked copy must own them.
_REWRITTEN = ("system.reg", "user.reg", "userdef.reg", ".update-timestamp")


class Spawned:
    """A program started through the probe: its whole exit status once ended."""

    def __init__(self, process, out):
        self.process, self.out = process, out

    def status(self, timeout=180):
        self.process.wait(timeout=timeout)
        self.out.seek(0)
        lines = self.out.read().decode("utf-8", "replace").split()
        self.out.close()
        assert lines, "the probe printed no status"
        return int(lines[-1])

    def poll(self):
        return self.process.poll()

    def kill(self):
        self.process.kill()


class Prefix:
    """An isolated Wine prefix for one test, with its own HOME."""

    def __init__(self, name, arch="win64", version=None, user=None):
        """user: an ordinary account that owns the prefix and runs its programs
        (as root, Wine ignores file permissions and read-only attributes)."""
        os.makedirs(SCRATCH, exist_ok=True)
        self.path = os.path.join(SCRATCH, name)
        self.arch = arch
        self.account = None
        self.dll_overrides = ""  # added to Wine's DLL overrides for this prefix
        self._kill_server()
        shutil.rmtree(self.path, ignore_errors=True)
        template = _template(arch)
        sh(["cp", "-al", template, self.path])
        for name_ in _REWRITTEN:
            target = os.path.join(self.path, name_)
            if os.path.exists(target):
                os.unlink(target)
                shutil.copy2(os.path.join(template, name_), target)
        for tree in ("drive_c/users", "home", "drive_c/windows/win.ini", "drive_c/windows/system.ini"):
            target = os.path.join(self.path, tree)
            if os.path.isdir(target):
                shutil.rmtree(target)
                shutil.copytree(os.path.join(template, tree), target, symlinks=True)
            elif os.path.exists(target):
                os.unlink(target)
                shutil.copy2(os.path.join(template, tree), target)
        if user:
            self._hand_over(user)
        if version:
            self.set_version("lumidor476_setup.exe", version)

    def _hand_over(self, user):
        """Gives the prefix to an ordinary account, made when missing. Files
        still hard-linked to the template stay root's: the account reads them."""
        try:
            entry = pwd.getpwnam(user)
        except KeyError:
            sh(["useradd", "--system", "--no-create-home", "--shell", "/usr/sbin/nologin", user])
            entry = pwd.getpwnam(user)
        self.account = {"user": entry.pw_uid, "group": entry.pw_gid, "extra_groups": []}
        # Names root's server folder, readable by root alone: the account makes its own.
        server = os.path.join(self.path, "wineserver")
        if os.path.lexists(server):
            os.unlink(server)
        for root, dirs, names in os.walk(self.path):
            for name in [*dirs, *names, ""]:
                full = os.path.join(root, name)
                st = os.lstat(full)
                if os.path.isdir(full) or st.st_nlink == 1:
                    os.lchown(full, entry.pw_uid, entry.pw_gid)

    def own(self, path):
        """Gives a file or folder made by the test to the prefix's account."""
        if self.account:
            os.chown(path, self.account["user"], self.account["group"])

    # --- running programs -------------------------------------------------

    def env(self):
        env = dict(os.environ, **BASE_ENV, WINEPREFIX=self.path, HOME=os.path.join(self.path, "home"))
        if getattr(self, "dll_overrides", ""):
            env["WINEDLLOVERRIDES"] += ";" + self.dll_overrides
        if DISPLAY.name:
            env["DISPLAY"] = DISPLAY.name
        return env

    def run(self, exe, args=(), cwd=None, timeout=120):
        """Runs a Windows program to its end; returns its exit status. Wine's
        output goes to a file: its helper processes keep a pipe open."""
        with tempfile.TemporaryFile() as out:
            process = subprocess.run(["wine", exe, *args], cwd=cwd or self.path, env=self.env(), stdout=out,
                                     stderr=out, timeout=timeout, **(self.account or {}))
            return process.returncode

    def run_output(self, exe, args=(), cwd=None, timeout=120):
        """Runs a Windows program to its end; returns its status and output."""
        with tempfile.TemporaryFile() as out:
            process = subprocess.run(["wine", exe, *args], cwd=cwd or self.path, env=self.env(), stdout=out,
                                     stderr=subprocess.DEVNULL, timeout=timeout)
            out.seek(0)
            return process.returncode, out.read().decode("utf-8", "replace")

    def run_trace(self, exe, args=(), cwd=None, channels="+loaddll", timeout=120):
        """Runs a Windows program with Wine's debug channels on; returns its
        status and the trace."""
        with tempfile.TemporaryFile() as trace:
            env = dict(self.env(), WINEDEBUG=channels)
            process = subprocess.run(["wine", exe, *args], cwd=cwd or self.path, env=env, stdout=subprocess.DEVNULL,
                                     stderr=trace, timeout=timeout)
            trace.seek(0)
            return process.returncode, trace.read().decode("utf-8", "replace")

    def setup(self, *args, cwd=None, timeout=180):
        return self.run(SETUP_EXE, args, cwd=cwd, timeout=timeout)

    def start(self, exe, args=(), cwd=None):
        return subprocess.Popen(["wine", exe, *args], cwd=cwd or self.path, env=self.env(),
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, **(self.account or {}))

    def start_status(self, exe, args=(), cwd=None):
        """Starts a Windows program through the probe, which reads its whole
        exit status: wine hands on only the low 8 bits (1618 arrives as 82)."""
        quote = lambda a: f'"{a}"' if (" " in a and '"' not in a) or not a else a
        line = " ".join([quote(exe if exe[1:2] == ":" else "Z:" + exe.replace("/", "\\")), *map(quote, args)])
        return self.start_line(line, cwd)

    def start_line(self, line, cwd=None):
        out = tempfile.TemporaryFile()
        process = subprocess.Popen(["wine", PROBE_EXE, "spawn", line], cwd=cwd or self.path, env=self.env(),
                                   stdout=out, stderr=subprocess.DEVNULL, **(self.account or {}))
        return Spawned(process, out)

    def run_status(self, exe, args=(), cwd=None, timeout=180):
        """Runs a Windows program to its end; its whole exit status."""
        return self.start_status(exe, args, cwd).status(timeout)

    def run_line(self, line, cwd=None, timeout=180):
        """Runs exactly this command line, as a tool that builds one (winget)
        passes it; the whole exit status."""
        return self.start_line(line, cwd).status(timeout)

    def probe(self, *args, timeout=60):
        return self.run(PROBE_EXE, args, timeout=timeout)

    def start_viewer(self):
        """Starts the sample viewer and waits until its window exists."""
        viewer = self.start(os.path.join(PAYLOAD, "lumi32.exe"))
        assert self.probe("wait-window", "Lumidor", "30") == 0, "the sample viewer's window never appeared"
        return viewer

    def stop(self):
        """Ends every process of the prefix; the registry is saved on the way."""
        self._kill_server()

    def _kill_server(self):
        if os.path.exists(getattr(self, "path", "")):
            subprocess.run(["wineserver", "-k"], env=self.env(), stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, **(getattr(self, "account", None) or {}))
            time.sleep(0.2)

    def set_value(self, hive, key, name, text):
        """Sets a string value by appending to the registry file while the
        server is down; a later section of the same key overrides."""
        self.stop()
        escape = lambda t: t.replace("\\", "\\\\").replace('"', '\\"')
        with open(os.path.join(self.path, f"{hive}.reg"), "a", encoding="utf-8") as reg:
            value = "@" if name == "" else f'"{escape(name)}"'
            reg.write(f'\n[{escape(key)}] 0\n{value}="{escape(text)}"\n')

    def create_key(self, hive, key):
        """Creates an empty key the same way, as Windows would have it."""
        self.stop()
        with open(os.path.join(self.path, f"{hive}.reg"), "a", encoding="utf-8") as reg:
            reg.write("\n[" + key.replace("\\", "\\\\") + "] 0\n")

    def set_version(self, exe, version):
        """Windows version for one program."""
        self.set_value("user", f"Software\\Wine\\AppDefaults\\{exe}", "Version", version)

    def map_drive(self, letter, unix_folder):
        """Makes a Unix folder the drive LETTER: of the prefix."""
        link = os.path.join(self.path, "dosdevices", letter.lower() + ":")
        if os.path.lexists(link):
            os.unlink(link)
        os.symlink(unix_folder, link)

    # --- reading back -------------------------------------------------------

    def unix(self, windows_path):
        """The Unix path of a path on drive C:."""
        assert windows_path[1:3] == ":\\", windows_path
        return os.path.join(self.path, "drive_c", *[p for p in windows_path[3:].split("\\") if p])

    def registry(self, hive="system"):
        self.stop()
        return parse_reg(os.path.join(self.path, f"{hive}.reg"))

    def machine_path(self, path):
        """Where a key of HKLM as the 32-bit program sees it lies in system.reg:
        under Wow6432Node in a 64-bit prefix, except the shared classes."""
        lower = path.lower()
        if self.arch == "win64" and lower.startswith("software\\") and not lower.startswith("software\\classes"):
            path = "Software\\Wow6432Node\\" + path[len("software\\"):]
        return path.lower()

    def machine_key(self, path, keys=None):
        """A key of HKLM as the 32-bit program sees it: {name: (type, data)} or None."""
        keys = keys if keys is not None else self.registry("system")
        return keys.get(self.machine_path(path))

    def user_key(self, path, keys=None):
        keys = keys if keys is not None else self.registry("user")
        return keys.get(path.lower())

    def wait_for_processes(self):
        """Waits until every program of the prefix has ended."""
        subprocess.run(["wineserver", "-w"], env=self.env(), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=180, **(self.account or {}))

    def restart(self):
        """A simulated restart: the renames and deletions scheduled for it are
        carried out."""
        self.wait_for_processes()
        with tempfile.TemporaryFile() as out:
            subprocess.run(["wine", "wineboot", "-r"], env=self.env(), stdout=out, stderr=out, timeout=180,
                           **(self.account or {}))
        self.wait_for_processes()

    def snapshot(self, folders=False):
        """Every file (size, time) and every registry value of the prefix;
        with folders, every folder as well (as a file of size -1)."""
        self.stop()
        files = {}
        for root, dirs, names in os.walk(self.path):
            if folders:
                for name in dirs:
                    files[os.path.relpath(os.path.join(root, name), self.path)] = (-1, 0)
            for name in names:
                full = os.path.join(root, name)
                if os.path.islink(full):
                    continue
                rel = os.path.relpath(full, self.path)
                if rel in _REWRITTEN or rel == "wineserver":
                    continue
                st = os.lstat(full)
                files[rel] = (st.st_size, int(st.st_mtime))
        return {"files": files, "system": parse_reg(os.path.join(self.path, "system.reg")),
                "user": parse_reg(os.path.join(self.path, "user.reg"))}


# Keys Wine itself touches on every start, and the console host's settings,
# which it stores once it has picked a font for a console window.
_WINE_NOISE = re.compile(r"^(software\\wine\\|system\\currentcontrolset\\|hardware\\|console(\\|$)|"
                         r"software\\microsoft\\windows nt\\currentversion\\(fonts|networkcards)|"
                         r"software\\(wow6432node\\)?microsoft\\windows\\currentversion\\explorer\\|"
                         r"volatile environment)")


def snapshot_changes(before, after, allowed=()):
    """What a run changed, as readable lines, leaving out Wine's own noise and
    paths that match one of the allowed patterns."""
    changes = []
    for rel in sorted(set(before["files"]) | set(after["files"])):
        if before["files"].get(rel) != after["files"].get(rel) and not any(re.search(a, rel) for a in allowed):
            changes.append(f"file {rel}")
    for hive in ("system", "user"):
        for key in sorted(set(before[hive]) | set(after[hive])):
            if _WINE_NOISE.match(key) or any(re.search(a, key) for a in allowed):
                continue
            if before[hive].get(key) != after[hive].get(key):
                changes.append(f"{hive} key {key}")
    return changes


def _prefix_relative(folder):
    """A folder on drive C:, as a Windows path or a Unix path into a prefix,
    relative to the prefix."""
    if folder.startswith("/"):
        assert "/drive_c/" in folder, folder
        return "drive_c/" + folder.split("/drive_c/", 1)[1].strip("/")
    assert folder[1:3] == ":\\" and folder[0] in "cC", folder
    return "drive_c/" + "/".join(p for p in folder[3:].split("\\") if p)


# The keys an installation writes: its classes and verbs, the extensions it
# claims, the packaged-application classes it mutes, its own key, the
# registered-applications value and its uninstall entry.
INSTALLATION_KEYS = (
    r"^software\\classes\\(lumidor(\.[^\\]+)?|\.[^\\]+|appx[0-9a-z]{32}|applications\\lumi32\.exe|"
    r"(directory|drive)\\shell\\durchsuchen mit &lumidor)(\\|$)",
    r"^software\\(wow6432node\\)?(lumidor|registeredapplications)(\\|$)",
    r"^software\\(wow6432node\\)?microsoft\\windows\\currentversion\\uninstall(\\lumidor(\\|$)|$)",
)

# The shortcut and settings folders, for one user or all users.
INSTALLATION_FILES = (
    r"^drive_c/users/[^/]+/Desktop/Lumidor( Thumbnails)?\.lnk$",
    r"^drive_c/(users/[^/]+/AppData/Roaming|ProgramData)/Microsoft/Windows/Start Menu/Programs/Lumidor/[^/]+\.lnk$",
    r"^drive_c/users/[^/]+/AppData/Roaming/Lumidor/lumi32\.ini$",
)


def installation_areas(*folders, start=None, registered=True):
    """Patterns for snapshot_changes: what an installation into the folders
    may change. With registered False only the folders themselves (a failed
    installation registers nothing); start is the folder that gets the log."""
    areas = ["^" + re.escape(_prefix_relative(f)) + "/" for f in folders]
    if start:
        areas.append("^" + re.escape(_prefix_relative(start)) + "/Lumidor_Install\\.log$")
    if registered:
        areas += INSTALLATION_KEYS + INSTALLATION_FILES
    return areas


@contextlib.contextmanager
def confined_to(prefix, areas):
    """Fails unless everything the block changes in the prefix (files and
    both registry hives) matches one of the areas."""
    before = prefix.snapshot()
    yield
    changes = snapshot_changes(before, prefix.snapshot(), areas)
    assert changes == [], changes


_VALUE = re.compile(r'^(@|"(?:[^"\\]|\\.)*")=(.*)$')


def _unescape(text):
    out, i = [], 0
    while i < len(text):
        c = text[i]
        if c == "\\" and i + 1 < len(text):
            n = text[i + 1]
            if n == "x":
                m = re.match(r"[0-9a-fA-F]{1,4}", text[i + 2:])
                out.append(chr(int(m.group(0), 16)))
                i += 2 + len(m.group(0))
                continue
            out.append({"n": "\n", "r": "\r", "t": "\t", "0": "\0"}.get(n, n))
            i += 2
            continue
        out.append(c)
        i += 1
    return "".join(out)


def _decode(data):
    if data.startswith('"'):
        return ("REG_SZ", _unescape(data[1:-1]))
    if data.startswith('str(2):"'):
        return ("REG_EXPAND_SZ", _unescape(data[8:-1]))
    if data.startswith('str(7):"'):
        return ("REG_MULTI_SZ", _unescape(data[8:-1]))
    if data.startswith("dword:"):
        return ("REG_DWORD", int(data[6:], 16))
    m = re.match(r"hex(?:\((\w+)\))?:(.*)$", data)
    if m:
        raw = bytes(int(b, 16) for b in m.group(2).replace(" ", "").split(",") if b)
        kind = {None: "REG_BINARY", "0": "REG_NONE", "2": "REG_EXPAND_SZ", "7": "REG_MULTI_SZ",
                "b": "REG_QWORD"}.get(m.group(1), "hex(" + str(m.group(1)) + ")")
        if kind in ("REG_EXPAND_SZ", "REG_MULTI_SZ"):
            return (kind, raw.decode("utf-16-le"))
        return (kind, raw)
    return ("?", data)


def parse_reg(path):
    """A Wine registry file as {lower-case key path: {value name: (type, data)}};
    the default value's name is ""."""
    keys, current, pending = {}, None, ""
    with open(path, encoding="utf-8", errors="replace") as reg:
        for raw in reg:
            # Only hex data is continued, with a backslash at the line's end.
            line = pending + (raw.strip() if pending else raw.rstrip("\n"))
            if line.endswith("\\"):
                pending = line[:-1]
                continue
            pending = ""
            if line.startswith("["):
                name = line[1:line.rindex("]")]
                current = keys.setdefault(_unescape(name).lower(), {})
                continue
            if current is None or line.startswith("#"):
                continue
            m = _VALUE.match(line)
            if m:
                name = "" if m.group(1) == "@" else _unescape(m.group(1)[1:-1])
                current[name] = _decode(m.group(2))
    # Wine writes a key without values only when it has no subkeys: every
    # key above one that is written exists too.
    for key in list(keys):
        while "\\" in key:
            key = key.rsplit("\\", 1)[0]
            keys.setdefault(key, {})
    return keys
