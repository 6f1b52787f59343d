"""Release artefacts: `make sign` with a throwaway certificate authority,
its clear failures, and the winget manifests of `make manifests`."""
import hashlib
import io
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import zipfile

import yaml

from harness import SETUP_EXE, TOP, Prefix
from shell import UNINSTALL

sys.path.insert(0, os.path.join(TOP, "tools"))
import catalogue  # noqa: E402

PASSWORD = "geheim und lang"


def run(args, cwd=None, timeout=900):
    return subprocess.run(args, cwd=cwd, capture_output=True, text=True, timeout=timeout)


def throwaway_certificate(folder):
    """A certificate authority and a code-signing certificate it issued, as
    a PKCS#12 file with a password file; returns (pfx, password file, CA)."""
    ca_key, ca, key, request = (os.path.join(folder, n) for n in ("ca.key", "ca.pem", "sign.key", "sign.csr"))
    certificate, extensions = os.path.join(folder, "sign.pem"), os.path.join(folder, "sign.ext")
    pfx, password = os.path.join(folder, "sign.pfx"), os.path.join(folder, "sign.pass")
    with open(password, "w") as f:
        f.write(PASSWORD + "\n")
    with open(extensions, "w") as f:
        f.write("basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n")
    for args in (
        ["req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", ca_key, "-out", ca, "-days", "7",
         "-subj", "/CN=Lumidor Test CA", "-addext", "basicConstraints=critical,CA:TRUE",
         "-addext", "keyUsage=critical,keyCertSign,cRLSign"],
        ["req", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", request, "-subj", "/CN=Orvendal Test"],
        ["x509", "-req", "-in", request, "-CA", ca, "-CAkey", ca_key, "-CAcreateserial", "-out", certificate,
         "-days", "7", "-extfile", extensions],
        ["pkcs12", "-export", "-inkey", key, "-in", certificate, "-certfile", ca, "-out", pfx,
         "-passout", f"file:{password}"],
    ):
        result = run(["openssl", *args])
        assert result.returncode == 0, result.stderr
    return pfx, password, ca


def verify(program, ca):
    return run(["osslsigncode", "verify", "-CAfile", ca, "-in", program])


def archive_of(program):
    """The ZIP archive inside a setup program, found by its end record."""
    data = open(program, "rb").read()
    end = data.rfind(b"PK\x05\x06")
    assert end > 0, "no archive in the program"
    size, offset, comment = struct.unpack_from("<IIH", data, end + 12)
    start = end - size - offset
    return zipfile.ZipFile(io.BytesIO(data[start:end + 22 + comment]))


def make_sign(dist, pfx=None, password=None, no_timestamp=True):
    """make sign; no time-stamp server is reachable here, so without one unless told."""
    args = ["make", "--no-print-directory", "sign", f"DIST={dist}"] + (["SIGN_NO_TIMESTAMP=1"] if no_timestamp else [])
    if pfx:
        args.append(f"SIGN_PFX={pfx}")
    if password:
        args.append(f"SIGN_PASSWORD_FILE={password}")
    return run(args, cwd=TOP)


def test_make_sign_signs_both_programs_and_the_signed_program_installs_as_the_unsigned_one():
    with tempfile.TemporaryDirectory() as folder:
        pfx, password, ca = throwaway_certificate(folder)
        dist = os.path.join(folder, "dist")
        result = make_sign(dist, pfx, password)
        assert result.returncode == 0, result.stdout + result.stderr
        assert "SIGN_NO_TIMESTAMP=1: the signatures carry no timestamp" in result.stdout
        signed = os.path.join(dist, "lumidor476_setup.exe")
        result = verify(signed, ca)
        assert result.returncode == 0 and "Signature verification: ok" in result.stdout, result.stdout + result.stderr

        # The programs of the payload were signed before they were zipped.
        with archive_of(signed) as archive:
            for name in ("lu_uninstall.exe", "lumi32.exe", "Plugins/Icons.dll"):
                extracted = archive.extract(name, folder)
                result = verify(extracted, ca)
                assert result.returncode == 0, (name, result.stdout + result.stderr)
            signed_entries = {i.filename: archive.read(i) for i in archive.infolist()}

        # The control: one changed byte breaks the signature.
        broken = os.path.join(folder, "broken.exe")
        shutil.copy(signed, broken)
        with open(broken, "r+b") as f:
            f.seek(0x1000)
            byte = f.read(1)
            f.seek(0x1000)
            f.write(bytes([byte[0] ^ 0x01]))
        assert verify(broken, ca).returncode != 0

        # Installed silently, the signed program gives what the unsigned gives,
        # its own programs signed.
        prefix = Prefix("signed_install")
        assert prefix.setup("/silent", "/folder=C:\\Unsigned") == 0
        shutil.copy(signed, prefix.unix("C:\\lumidor476_setup.exe"))
        assert prefix.run(prefix.unix("C:\\lumidor476_setup.exe"), ["/silent", "/folder=C:\\Signed"]) == 0
        unsigned_files, signed_files = ({os.path.relpath(os.path.join(r, n), prefix.unix(root)).replace(os.sep, "/")
                                         for r, _, ns in os.walk(prefix.unix(root)) for n in ns}
                                        for root in ("C:\\Unsigned", "C:\\Signed"))
        assert signed_files == unsigned_files, signed_files ^ unsigned_files
        for name in signed_files - {"lumi32.ini"}:
            assert open(prefix.unix("C:\\Signed\\" + name), "rb").read() == signed_entries[name], name


def test_a_missing_or_wrong_certificate_or_no_timestamp_stops_with_a_message_and_writes_nothing():
    with tempfile.TemporaryDirectory() as folder:
        pfx, password, _ca = throwaway_certificate(folder)
        wrong = os.path.join(folder, "wrong.pass")
        with open(wrong, "w") as f:
            f.write("falsch\n")
        not_pfx = os.path.join(folder, "sign.pem")
        dist = os.path.join(folder, "dist")
        cases = (
            ((None, None, True), "give the certificate"),
            ((os.path.join(folder, "missing.pfx"), None, True), "does not exist"),
            ((pfx, os.path.join(folder, "missing.pass"), True), "password file"),
            ((pfx, wrong, True), "cannot be opened with the given password"),
            ((pfx, None, True), "cannot be opened with the given password"),
            ((not_pfx, wrong, True), "cannot be opened"),
            # A good certificate, but neither a time-stamp server nor the word to go without.
            ((pfx, password, False), "give a time-stamp server"),
        )
        for arguments, message in cases:
            result = make_sign(dist, *arguments)
            assert result.returncode != 0, arguments
            assert message in result.stderr, (message, result.stderr)
            assert not os.path.exists(dist), os.listdir(dist)


# What the winget schema 1.6 allows for the fields the manifests use.
RETURN_RESPONSES = {"packageInUse", "packageInUseByApplication", "installInProgress", "fileInUse",
                    "missingDependency", "diskFull", "insufficientMemory", "invalidParameter", "noNetwork",
                    "contactSupport", "rebootRequiredToFinish", "rebootRequiredForInstall", "rebootInitiated",
                    "cancelledByUser", "alreadyInstalled", "downgrade", "blockedByPolicy", "systemNotSupported",
                    "custom"}
ELEVATION_REQUIREMENTS = {"elevationRequired", "elevationProhibited", "elevatesSelf"}
FILE_EXTENSION = re.compile(r'^[^\\/:\*\?"<>\|\x01-\x1f]+$')


def readme_statuses(heading):
    """The statuses of the first status table after a README heading."""
    readme = open(os.path.join(TOP, "README.md"), encoding="utf-8").read()
    table = readme.split(heading, 1)[1].split("| Status | Meaning |", 1)[1].split("\n\n", 1)[0]
    return [int(m) for m in re.findall(r"^\| (\d+) \|", table, re.M)]


def test_the_manifests_name_the_built_program_its_switches_statuses_extensions_and_entry():
    with tempfile.TemporaryDirectory() as folder:
        result = run(["make", "--no-print-directory", "manifests", f"MANIFESTS={folder}",
                      "INSTALLER_URL=https://downloads.example/lumidor476_setup.exe"], cwd=TOP)
        assert result.returncode == 0, result.stdout + result.stderr
        names = sorted(os.listdir(folder))
        assert names == ["Orvendal.Lumidor.installer.yaml", "Orvendal.Lumidor.locale.de-DE.yaml",
                         "Orvendal.Lumidor.yaml"], names
        manifests = {n: yaml.safe_load(open(os.path.join(folder, n), encoding="utf-8")) for n in names}
    for name, manifest in manifests.items():
        assert manifest["ManifestVersion"] == "1.6.0" and manifest["PackageIdentifier"] == "Orvendal.Lumidor", name
    installer = manifests["Orvendal.Lumidor.installer.yaml"]
    only = installer["Installers"][0]
    assert only["InstallerSha256"] == hashlib.sha256(open(SETUP_EXE, "rb").read()).hexdigest().upper()
    assert installer["InstallerType"] == "exe" and installer["Scope"] == "machine"
    assert installer["ElevationRequirement"] == "elevatesSelf" in ELEVATION_REQUIREMENTS
    # Every return code of the README's table but success, each with a response the schema knows.
    codes = {c["InstallerReturnCode"]: c["ReturnResponse"] for c in installer["ExpectedReturnCodes"]}
    assert sorted(codes) == [s for s in readme_statuses("## Command line") if s != 0], codes
    assert set(codes.values()) <= RETURN_RESPONSES, codes
    assert (codes[1], codes[6], codes[1602], codes[1618]) == (
        "packageInUse", "fileInUse", "cancelledByUser", "installInProgress"), codes
    # The catalogue's extensions, as the schema wants them.
    extensions = installer["FileExtensions"]
    assert extensions == [e for e, _base in catalogue.extensions()] and len(set(extensions)) == len(extensions)
    assert len(extensions) <= 512 and all(FILE_EXTENSION.match(e) and len(e) <= 64 for e in extensions)
    switches = installer["InstallerSwitches"]
    assert switches["Log"] == '/log="<LOGPATH>"' and all(0 < len(v) <= 512 for v in switches.values())
    # No DisplayVersion equal to the package version in the entry it recognises.
    assert "DisplayVersion" not in installer["AppsAndFeaturesEntries"][0]
    notes = manifests["Orvendal.Lumidor.locale.de-DE.yaml"]["ReleaseNotes"]
    assert "Version 4.76" in notes and 0 < len(notes) <= 10000

    # The switches, as winget passes them, install where it asks and log where it asks.
    prefix = Prefix("winget_switches")
    location, log = "C:\\Winget Ziel\\Lumidor", "C:\\Winget Protokolle\\lumidor.log"
    os.makedirs(prefix.unix("C:\\Winget Protokolle"))
    line = " ".join([f'"Z:{SETUP_EXE}"'.replace("/", "\\"), switches["Silent"],
                     switches["InstallLocation"].replace("<INSTALLPATH>", location),
                     switches["Log"].replace("<LOGPATH>", log)])
    assert prefix.run_line(line) == 0
    assert os.path.isfile(prefix.unix(location + "\\lumi32.exe"))
    assert "Status: 0" in open(prefix.unix(log), encoding="latin-1").read()
    entry = prefix.machine_key(UNINSTALL)
    assert entry["InstallLocation"][1] == location + "\\"
    recognised = installer["AppsAndFeaturesEntries"][0]
    for field in ("DisplayName", "Publisher"):
        assert recognised[field] == entry[field][1], field
    assert installer["PackageVersion"] == entry["DisplayVersion"][1]
    assert recognised["ProductCode"] == UNINSTALL.rsplit("\\", 1)[1]
