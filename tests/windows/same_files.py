#!/usr/bin/python3
"""The Linux and the Windows loopback hosts write the same files for the same estimate.

usage: same_files.py LINUX_SERVE WINDOWS_SERVE

Each program (WINDOWS_SERVE is a command that runs calcora-serve.exe under Wine) gets a data
folder of its own and the same commands: one estimate with sections, formulas, fixed sums,
footer sums and Russian text, then its workbook, CSV, PDF, exchange file and a proposal page.
Every file must match byte for byte, apart from the times the formats carry: the estimate's
created/updated stamps inside the exchange file and the document dates of the workbook.
"""
import gzip
import json
import re
import subprocess
import sys
import tempfile
import time
import urllib.request
import zipfile
from pathlib import Path

START_LIMIT_S = 180  # a fresh Wine prefix takes a while on its first start


class Host:
    def __init__(self, program: str, data_dir: Path):
        self.process = subprocess.Popen([program, "--port", "0", "--data-dir", str(data_dir), "--key", "same-files"],
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        deadline = time.monotonic() + START_LIMIT_S
        line = ""
        while time.monotonic() < deadline:
            line = self.process.stdout.readline()
            if not line and self.process.poll() is not None:
                raise SystemExit(f"{program} ended: {self.process.stderr.read()}")
            match = re.search(r"http://127\.0\.0\.1:(\d+)/", line)
            if match:
                self.origin = f"http://127.0.0.1:{match.group(1)}"
                return
        raise SystemExit(f"{program} did not start within {START_LIMIT_S} s: {line!r}")

    def invoke(self, command: str, args: dict):
        request = urllib.request.Request(f"{self.origin}/api/invoke/{command}", data=json.dumps(args).encode(),
                                         headers={"X-Calcora-Key": "same-files", "Content-Type": "application/json"})
        try:
            with urllib.request.urlopen(request, timeout=120) as answer:
                return json.loads(answer.read())
        except urllib.error.HTTPError as error:
            raise SystemExit(f"{command} failed: {error.read().decode()}")

    def stop(self):
        self.process.terminate()
        self.process.wait(timeout=60)


def write_estimate_files(host: Host, out: Path) -> None:
    payload = host.invoke("create_estimate", {"objectName": "Дом в Лесном, «баня» №2"})
    estimate_id = payload["estimate"]["id"]
    line = lambda order, **fields: {"estimate_id": estimate_id, "sort_order": order, **fields}
    payload["lines"] = [
        line(0, line_type="section", name="Фундамент"),
        line(1, line_type="full", name="Бетон М300", unit="м³", quantity=12.5, unit_price=5450.75,
             category="material"),
        line(2, line_type="full", name="Кладка стен\nв два ряда", unit="м²", quantity=3, unit_price=1200,
             category="work", formula="2*1.5"),
        line(3, line_type="fixed", name="Доставка; \"срочно\"", fixed_total=7000.1, category="machinery"),
        line(4, line_type="full", name="Ёлочный орнамент — 1/3", unit="шт", quantity=0.333333333,
             unit_price=99999.99, category="work"),
    ]
    payload["footer"] = {**payload["footer"], "materials": 7.5, "delivery": 1500, "advance": 20000,
                         "show_materials": True, "show_delivery": True, "show_advance": True,
                         "markup_formula": "(работы + материалы) * 0,1",
                         "extras_json": json.dumps([{"label": "Вывоз мусора", "amount": 2500.5}, {"label": "x", "amount": 1, "enabled": False}])}
    host.invoke("save_estimate", {"payload": payload})
    for name, command, extra in [
        ("смета №1.xlsx", "export_estimate_xlsx", {}),
        ("смета №1.csv", "export_estimate_csv", {}),
        ("смета №1.pdf", "export_estimate_pdf", {"printFont": None}),
        ("смета №1 serif.pdf", "export_estimate_pdf", {"printFont": "Times New Roman"}),
        ("смета №1.clcx", "export_estimate_clcx", {}),
    ]:
        host.invoke(command, {"id": estimate_id, "path": str(out / name), **extra})
    host.invoke("write_utf8", {"path": str(out / "предложение.html"),
                               "text": "<!doctype html>\n<p>Коммерческое предложение\r\nи строки</p>\n"})
    host.invoke("export_catalog_xlsx", {"path": str(out / "каталог.xlsx")})


STAMP = re.compile(rb'"(created_at|updated_at)":"[0-9TZ:-]+"')
DOCUMENT_DATES = re.compile(rb"<dcterms:(created|modified)[^>]*>[^<]*</dcterms:\1>")


def workbook_differences(a: Path, b: Path) -> list[str]:
    """Entry order, names, methods and bytes; the document's dates are the only part allowed to differ."""
    with zipfile.ZipFile(a) as za, zipfile.ZipFile(b) as zb:
        ia, ib = za.infolist(), zb.infolist()
        if [(i.filename, i.compress_type) for i in ia] != [(i.filename, i.compress_type) for i in ib]:
            return ["entries differ"]
        problems = []
        for x, y in zip(ia, ib):
            da, db = za.read(x), zb.read(y)
            if x.filename == "docProps/core.xml":
                da, db = DOCUMENT_DATES.sub(b"", da), DOCUMENT_DATES.sub(b"", db)
            elif x.date_time != y.date_time or x.compress_size != y.compress_size:
                problems.append(f"{x.filename}: stored differently")
            if da != db:
                problems.append(f"{x.filename}: content differs")
        return problems


def differences(a: Path, b: Path) -> list[str]:
    if a.suffix == ".xlsx":
        return workbook_differences(a, b)
    ba, bb = a.read_bytes(), b.read_bytes()
    if a.suffix == ".clcx":
        # The gzip wrapper (header, flags, system byte) must match too: only the JSON's stamps may differ.
        if ba[:10] != bb[:10]:
            return ["gzip header differs"]
        ba, bb = STAMP.sub(b"", gzip.decompress(ba)), STAMP.sub(b"", gzip.decompress(bb))
    if ba == bb:
        return []
    at = next(i for i in range(min(len(ba), len(bb)) + 1) if i == min(len(ba), len(bb)) or ba[i] != bb[i])
    return [f"{len(ba)} vs {len(bb)} bytes, first difference at byte {at}: {ba[at:at + 40]!r} vs {bb[at:at + 40]!r}"]


def main() -> int:
    linux_program, windows_program = sys.argv[1:3]
    with tempfile.TemporaryDirectory(prefix="calcora-same-files-") as scratch:
        root = Path(scratch)
        outputs = {}
        for label, program in (("linux", linux_program), ("windows", windows_program)):
            out = root / label / "Мои сметы"
            out.mkdir(parents=True)
            host = Host(program, root / label / "data")
            try:
                write_estimate_files(host, out)
            finally:
                host.stop()
            outputs[label] = out
        failed = False
        names = sorted(p.name for p in outputs["linux"].iterdir())
        windows_names = sorted(p.name for p in outputs["windows"].iterdir())
        if names != windows_names:
            print(f"different files: {names} vs {windows_names}")
            failed = True
        for name in names:
            if name not in windows_names:
                continue
            problems = differences(outputs["linux"] / name, outputs["windows"] / name)
            print(f"{'same' if not problems else 'DIFFERENT'}: {name}" + "".join(f"\n  {p}" for p in problems))
            failed |= bool(problems)
        return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
