"""Release artefacts: `make sign` with a throwaway certificate authority,
its clear failures, and the winget manifests of `make manifests`."""
import hashlib
import os
import re
import shutil
import struct
import subprocess
import tempfile
import zipfile
import io

from harness import SETUP_EXE, TOP, Prefix
from shell import UNINSTALL

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


def make_sign(dist, pfx=None, password=None):
    args = ["make", "--no-print-directory", "sign", f"DIST={dist}"]
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
        assert "no SIGN_TIMESTAMP_URL" in result.stdout
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


def test_a_missing_or_wrong_certificate_stops_with_a_message_and_writes_nothing():
    with tempfile.TemporaryDirectory() as folder:
        pfx, _password, _ca = throwaway_certificate(folder)
        wrong = os.path.join(folder, "wrong.pass")
        with open(wrong, "w") as f:
            f.write("falsch\n")
        not_pfx = os.path.join(folder, "sign.pem")
        dist = os.path.join(folder, "dist")
        cases = (
            ((None, None), "give the certificate"),
            ((os.path.join(folder, "missing.pfx"), None), "does not exist"),
            ((pfx, os.path.join(folder, "missing.pass")), "password file"),
            ((pfx, wrong), "cannot be opened with the given password"),
            ((pfx, None), "cannot be opened with the given password"),
            ((not_pfx, wrong), "cannot be opened"),
        )
        for (certificate, password), message in cases:
            result = make_sign(dist, certificate, password)
            assert result.returncode != 0, (certificate, password)
            assert message in result.stderr, (message, result.stderr)
            assert not os.path.exists(dist), os.listdir(dist)


def manifest_fields(text):
    """The scalar fields of a generated manifest, and its return codes."""
    fields = dict(re.findall(r"^\s*(?:- )?([A-Za-z0-9]+): \"?([^\"\n]*)\"?$", text, re.M))
    codes = {int(c): r for c, r in re.findall(r"InstallerReturnCode: (\d+)\n\s+ReturnResponse: (\w+)", text)}
    return fields, codes


def readme_setup_statuses():
    readme = open(os.path.join(TOP, "README.md"), encoding="utf-8").read()
    table = readme.split("Exit statuses of a silent run:", 1)[1].split("\n\n", 2)[1]
    return [int(m) for m in re.findall(r"^\| (\d) \|", table, re.M)]


def test_the_manifests_name_the_built_program_its_switches_statuses_and_entry():
    with tempfile.TemporaryDirectory() as folder:
        result = run(["make", "--no-print-directory", "manifests", f"MANIFESTS={folder}",
                      "INSTALLER_URL=https://downloads.example/lumidor476_setup.exe"], cwd=TOP)
        assert result.returncode == 0, result.stdout + result.stderr
        names = sorted(os.listdir(folder))
        assert names == ["Orvendal.Lumidor.installer.yaml", "Orvendal.Lumidor.locale.de-DE.yaml",
                         "Orvendal.Lumidor.yaml"], names
        texts = {n: open(os.path.join(folder, n), encoding="utf-8").read() for n in names}
    for name, text in texts.items():
        assert "ManifestVersion: 1.6.0" in text and "PackageIdentifier: Orvendal.Lumidor" in text, name
    installer, codes = manifest_fields(texts["Orvendal.Lumidor.installer.yaml"])
    assert installer["InstallerSha256"] == hashlib.sha256(open(SETUP_EXE, "rb").read()).hexdigest().upper()
    assert installer["InstallerType"] == "exe" and installer["Scope"] == "machine"
    # Every return code the README's table lists but success, each with a response.
    assert sorted(codes) == [s for s in readme_setup_statuses() if s != 0], codes
    assert codes[1] == "packageInUse" and codes[5] == "installInProgress", codes

    # The switches, as winget passes them, install where it asks.
    prefix = Prefix("winget_switches")
    location = "C:\\Winget Ziel\\Lumidor"
    switches = installer["Silent"].split() + [installer["InstallLocation"].replace("<INSTALLPATH>", location)]
    assert prefix.setup(*switches) == 0
    assert os.path.isfile(prefix.unix(location + "\\lumi32.exe"))
    entry = prefix.machine_key(UNINSTALL)
    assert entry["InstallLocation"][1] == location + "\\"
    for field in ("DisplayName", "Publisher", "DisplayVersion"):
        assert installer[field] == entry[field][1], field
    assert installer["ProductCode"] == UNINSTALL.rsplit("\\", 1)[1]
