"""Analyze pairs between osmavu and nibabel, both ways.

nibabel writes pairs of each sample type for osmavu-info to read; osmavu-convert
(the viewer's own Analyze writer) writes each save type for nibabel to read.
Extents, samples and pixel sizes must survive both ways.
"""
import json
import subprocess
import sys
import tempfile
from pathlib import Path

try:
    import nibabel as nib
    import numpy as np
except ImportError as e:  # the tool is a test dependency only
    print(f"skipped: {e}")
    sys.exit(77)

INFO, CONVERT = sys.argv[1], sys.argv[2]
ZOOMS = (0.7, 0.8, 1.25)
fallos = []


def comprueba(cond, texto):
    if not cond:
        fallos.append(texto)


def escribe(carpeta, nombre, datos):
    img = nib.AnalyzeImage(datos, np.diag([*ZOOMS, 1.0]))
    img.header.set_zooms(ZOOMS)
    ruta = carpeta / f"{nombre}.hdr"
    nib.save(img, str(ruta))
    return ruta


def info(ruta):
    salida = subprocess.run([INFO, "--json", str(ruta)], capture_output=True, text=True, check=True)
    return json.loads(salida.stdout)


def muestras(ruta):
    """The samples of a pair in file order (x fastest), as the first three axes."""
    datos = np.asanyarray(nib.load(str(ruta)).dataobj)
    return datos.reshape(datos.shape[:3])


with tempfile.TemporaryDirectory() as tmp:
    carpeta = Path(tmp)
    forma = (7, 5, 3)  # not square, so an exchange of the extents shows
    base = (np.arange(np.prod(forma)).reshape(forma) * 137) % 30000
    base[0, 0, 0] = 300  # above 255: the byte save keeps its low 8 bits

    # nibabel → osmavu-info
    for nombre, tipo in [("u8", np.uint8), ("s16", np.int16), ("f32", np.float32)]:
        datos = (base % 256 if tipo == np.uint8 else base).astype(tipo)
        j = info(escribe(carpeta, nombre, datos))
        d = j["display"]
        comprueba(j["key"] == "Analyze", f"{nombre}: key {j['key']}")
        comprueba((d["height"], d["width"], d["slices"]) == forma, f"{nombre}: extents {d['height']}x{d['width']}x{d['slices']}")
        a = d["attributes"]
        got = tuple(float(a[k]) for k in ("PixelDimx", "PixelDimy", "PixelDimz"))
        comprueba(np.allclose(got, ZOOMS), f"{nombre}: pixel sizes {got}")
        if tipo == np.float32:
            # Float volumes are stretched over the whole volume to 0..32767.
            lo = min(l[0] for l in d["limits"])
            hi = max(l[1] for l in d["limits"])
            comprueba((lo, hi) == (0, 32767), f"{nombre}: volume limits {lo}..{hi}")
            continue
        for k in range(forma[2]):
            lim = [int(datos[:, :, k].min()), int(datos[:, :, k].max())]
            comprueba(d["limits"][k] == lim, f"{nombre}: slice {k} limits {d['limits'][k]} != {lim}")

    # osmavu-convert (the viewer's writer) → nibabel
    fuente = escribe(carpeta, "fuente", base.astype(np.int16))
    esperado = {
        "c": (np.uint8, base & 0xFF),
        "u": (np.uint16, base),
        "s": (np.int16, base),
        "f": (np.float32, base.astype(np.float32)),
    }
    for letra, (tipo, valores) in esperado.items():
        salida = carpeta / f"salida_{letra}.hdr"
        subprocess.run([CONVERT, "--type", letra, str(fuente), str(salida)],
                       capture_output=True, check=True)
        if letra == "u":
            # Unsigned 16-bit samples carry datatype 512, a code the 7.5 format
            # itself lacks and strict readers refuse: check the code and let
            # nibabel read the rest of the header as signed 16-bit of the same size.
            cabecera = bytearray(salida.read_bytes())
            comprueba(int.from_bytes(cabecera[70:72], "little") == 512, "u: datatype code")
            cabecera[70:72] = (4).to_bytes(2, "little")
            salida = carpeta / "salida_u_como_s.hdr"
            salida.write_bytes(cabecera)
            (carpeta / "salida_u_como_s.img").write_bytes((carpeta / "salida_u.img").read_bytes())
            img = nib.load(str(salida))
            comprueba(img.shape[:3] == forma, f"u: shape {img.shape}")
            comprueba(np.allclose(img.header.get_zooms()[:3], ZOOMS), f"u: zooms {img.header.get_zooms()}")
            comprueba(np.array_equal(muestras(salida).view(np.uint16), valores.astype(np.uint16)), "u: samples differ")
            continue
        img = nib.load(str(salida))
        comprueba(img.get_data_dtype() == np.dtype(tipo), f"{letra}: type {img.get_data_dtype()}")
        comprueba(img.shape[:3] == forma, f"{letra}: shape {img.shape}")
        comprueba(np.allclose(img.header.get_zooms()[:3], ZOOMS), f"{letra}: zooms {img.header.get_zooms()}")
        comprueba(np.array_equal(muestras(salida), valores.astype(tipo)), f"{letra}: samples differ")

for f in fallos:
    print("FAIL:", f)
sys.exit(1 if fallos else 0)
